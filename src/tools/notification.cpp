// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notification.h"

#include <QApplication>

namespace Telvora::Tools {

void NotifyNewMessages()
{
    // The desktop's standard alert sound; the pop-up window and the chosen
    // sound file join it with the notification windows.
    QApplication::beep();
}

} // namespace Telvora::Tools
