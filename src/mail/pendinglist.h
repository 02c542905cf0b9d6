// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

class QTreeWidget;
class QString;

namespace Telvora::App {
class MainWindow;
class Message;
class Messages;
} // namespace Telvora::App

namespace Telvora::Mail {

/// Refills the main window's pending collection from the mail box and, when
/// forced or when the fetched set differs from the list's rows, the list view.
/// Unless quiet, notifies when the unread count grew.
void FetchPendingMessages(App::MainWindow &main, bool force, QTreeWidget *listView,
                          std::optional<bool> quiet = std::nullopt);

/// Rebuilds the list view's rows from the pending collection, keeping the
/// selected row when it still exists.
void DisplayMessages(App::MainWindow &main, QTreeWidget *listView);

/// Counts the pending messages and the unread ones among them.
void CountMessages(const App::Messages &pending, int &total, int &unread);

/// The pending message with that key; throws App::AppError when there is none.
[[nodiscard]] App::Message &GetPendingMessage(App::MainWindow &main, const QString &key);

/// Shows the pending message selected in the list on the slip.
void ShowSelectedMessage(App::MainWindow &main);

} // namespace Telvora::Mail
