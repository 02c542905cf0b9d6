// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Telvora::Mail {

class MailSystem;

/// Opens the program's mail session with the settings' options (logon UI on,
/// ForceDelivery, NewSession). False when the user cancelled the logon (nothing
/// shown) or signing on failed (after the "Error Logging Into Mail." box).
[[nodiscard]] bool MailLogon(MailSystem &mail);

/// Closes the session; false when that failed. Shows nothing.
bool MailLogoff(MailSystem &mail);

/// When the ForceDelivery setting is on, makes the mail system deliver waiting
/// mail, with the wait cursor; shows nothing.
void ForceMailDelivery(MailSystem &mail);

} // namespace Telvora::Mail
