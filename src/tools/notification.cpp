// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notification.h"

#include <QApplication>

#include <utility>

namespace Telvora::Tools {

namespace {

NewMessagesAnnouncer &announcer()
{
    static NewMessagesAnnouncer instance;
    return instance;
}

} // namespace

NewMessagesAnnouncer setNewMessagesAnnouncer(NewMessagesAnnouncer replacement)
{
    return std::exchange(announcer(), std::move(replacement));
}

void NotifyNewMessages()
{
    if (announcer()) {
        announcer()();
        return;
    }
    // The desktop's standard alert sound; the pop-up window and the chosen
    // sound file join it with the notification windows.
    QApplication::beep();
}

} // namespace Telvora::Tools
