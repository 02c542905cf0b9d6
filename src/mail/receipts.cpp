// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/receipts.h"

#include "app/apperror.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "data/messagelog.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"

namespace Telvora::Mail {

namespace {

const QString CrLf = QStringLiteral("\r\n");

} // namespace

bool SendReturnReceipt(MessageSet &receipts, const QString &logId, const QString &recipientName)
{
    try {
        receipts.Compose();
        // Exactly one recipient: the name is taken whole, never split at ";",
        // and an empty name is not a receipt sent to nobody.
        const QString name = recipientName.trimmed();
        if (name.isEmpty()) {
            throw App::AppError(App::ErrorNumber::MailFailure,
                                QStringLiteral("The message has no sender to return it to."));
        }
        receipts.setRecipIndex(0);
        receipts.setRecipDisplayName(name);
        receipts.setRecipType(PrimaryRecipient);
        receipts.ResolveName();
        receipts.setMsgSubject(logId);
        receipts.setMsgType(ReceiptMessageClass);
        receipts.Send();
        return true;
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Error Sending Return Receipt Message") + CrLf + CrLf +
                             error.description(),
                         App::PromptButtons::Ok, App::PromptIcon::Exclamation, App::AppTitle);
        return false;
    }
}

bool SendReturnReceipt(App::MainWindow &main, const QString &logId, const QString &recipientName)
{
    const bool sent = SendReturnReceipt(main.receiptMessages(), logId, recipientName);
    if (sent)
        main.unsetCursor();
    return sent;
}

void CheckReturnReceipts(MessageSet &receipts)
{
    try {
        receipts.setFetchMsgType(ReceiptMessageClass);
        receipts.Fetch();
        // Backwards, so that deleting a receipt does not move the ones still to visit.
        for (int index = receipts.MsgCount() - 1; index >= 0; --index) {
            receipts.setMsgIndex(index);
            if (!Data::AcknowledgeReceipt(receipts.MsgSubject()))
                return; // the log takes no receipts now: each would ask again
            receipts.Delete();
        }
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Error Checking for Return Receipts") + CrLf + CrLf +
                             error.description(),
                         App::PromptButtons::Ok, App::PromptIcon::Exclamation,
                         QStringLiteral("Get Return Receipts Error"));
    }
}

void CheckReturnReceipts(App::MainWindow &main)
{
    CheckReturnReceipts(main.receiptMessages());
}

} // namespace Telvora::Mail
