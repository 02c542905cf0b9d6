// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::App {

/// The program-wide values set up at start-up and the flags that keep the
/// program's own property changes from re-entering event handlers. Everything
/// runs on the user-interface thread; nothing here is locked.
struct Globals
{
    /// The program's data directory ending in "/" (stands for its own directory).
    QString AppDir;
    /// Digits of the action boxes checked on a new message.
    QString DefaultActions;
    /// Minutes between automatic fetches; 0 = never.
    int FetchMinutes = 0;

    /// Set while code fills the action boxes: their clicks must not save.
    bool SettingChecks = false;
    /// Set while ForwardMessage sends.
    bool IsForwarding = false;
    /// Set while the pending list is being refilled.
    bool Refreshing = false;
    /// Caller database state shared by the slip and caller search.
    bool CallerChanged = false;
    bool CallerAutoFilled = false;
    bool CallerOpen = false;
};

/// The one program-wide instance.
[[nodiscard]] Globals &globals();

/// Fills AppDir, DefaultActions and FetchMinutes from the settings.
void InitGlobals();

} // namespace Telvora::App
