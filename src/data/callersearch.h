// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Telvora::App {
class MainWindow;
}

namespace Telvora::Data {

/// Completes the caller box tbMsg[4] of a message being composed from the
/// caller database: the first stored name at or after the typed text (case-blind)
/// that begins with it replaces the text in its stored spelling, with the
/// completed tail selected, and fills company (tbMsg[5]) and phone (tbMsg[6]);
/// App::globals().CallerAutoFilled is raised and CallerChanged lowered. When no
/// name begins with the typed text, boxes that an earlier completion filled are
/// emptied. One indexed seek per call. Does nothing while the caller file is
/// closed; a failure is shown with the engine's text and leaves the boxes as
/// they were. Run it on a change of the caller box holding more than two
/// characters while caller search is on and armed.
void CallerTypeAhead(App::MainWindow &main);

/// Stores the caller of the slip: a new name (trimmed) is added with the
/// company and phone boxes as they stand; a stored name (case-blind) has its
/// company and phone updated, its spelling kept. An empty name stores nothing,
/// nor does a closed caller file. A value too long for its field, a duplicate or
/// a busy file is reported to the user and leaves the database as it was.
/// Never throws: a failure here must not stop the message from being sent.
void SaveCaller(App::MainWindow &main);

/// Starts a new record on the caller table; on failure asks Retry or Cancel
/// ("Database Error") until it works (true) or the user cancels (false).
[[nodiscard]] bool BeginAddCaller();

/// Puts the current caller record into edit mode; fails as BeginAddCaller().
[[nodiscard]] bool BeginEditCaller();

} // namespace Telvora::Data
