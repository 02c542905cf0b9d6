// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::App {
class MainWindow;
}

namespace Telvora::Mail {

class MessageSet;

/// Sends a return receipt through the receipt set: a message of the receipt
/// class "IPC.KVX.TelvoraReceipt" whose subject is the sender's log ID, without
/// note text, to the one recipient named by `recipientName` (the display name
/// of the phone message's sender), resolved by the mail system. Returns true
/// when the mail system took it; otherwise shows "Error Sending Return Receipt
/// Message" with the mail system's text and returns false (an empty or
/// unknown name included).
[[nodiscard]] bool SendReturnReceipt(MessageSet &receipts, const QString &logId,
                                     const QString &recipientName);

/// SendReturnReceipt() through the main window's receipt set; afterwards the
/// window's mouse pointer is the default one again.
[[nodiscard]] bool SendReturnReceipt(App::MainWindow &main, const QString &logId,
                                     const QString &recipientName);

/// Fetches the receipts waiting in the mailbox into the receipt set and hands
/// each subject, from the last receipt to the first, to the message log
/// (Data::AcknowledgeReceipt()); a receipt the log accepts is deleted, the
/// others stay for a later pass. When the log cannot take receipts at all
/// (logging off, or the log cannot be opened) the pass ends at the first such
/// answer. A mail or engine failure ends the pass with the "Error Checking for
/// Return Receipts" box.
void CheckReturnReceipts(MessageSet &receipts);

/// CheckReturnReceipts() on the main window's receipt set.
void CheckReturnReceipts(App::MainWindow &main);

} // namespace Telvora::Mail
