// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mailbox.h"

#include "app/apperror.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "app/textutil.h"
#include "mail/addressbook.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/pendinglist.h"
#include "settings/settings.h"

namespace Telvora::Mail {

namespace {

const QString CrLf = QStringLiteral("\r\n");

void reportFailure(const QString &sentence, const QString &description, const QString &title)
{
    App::showMessage(sentence + CrLf + CrLf + description, App::PromptButtons::Ok,
                     App::PromptIcon::Exclamation, title);
}

} // namespace

bool MailboxOperations::select(const QString &id)
{
    for (int index = 0; index < m_messages.MsgCount(); ++index) {
        m_messages.setMsgIndex(index);
        if (m_messages.MsgID() == id)
            return true;
    }
    return false;
}

QString MailboxOperations::GetNoteText(const QString &id)
{
    try {
        return select(id) ? m_messages.MsgNoteText() : QString();
    } catch (const App::AppError &error) {
        reportFailure(QStringLiteral("Error Getting Message Text"), error.description(),
                      QStringLiteral("GetNoteText Error"));
        return {};
    }
}

bool MailboxOperations::DeleteMailMessage(const QString &id)
{
    try {
        if (!select(id))
            return false;
        m_messages.Delete();
        return true;
    } catch (const App::AppError &error) {
        reportFailure(QStringLiteral("Error Deleting Message"), error.description(),
                      QStringLiteral("fMAPIDeleteMessage Error"));
        return false;
    }
}

bool MailboxOperations::UpdateMailMessage(const QString &id, const QString &subject,
                                          const QString &noteText)
{
    const QString title = QStringLiteral("fMAPISaveMessage Error");
    try {
        if (!select(id)) {
            reportFailure(QStringLiteral("Unable to Save Message"),
                          QStringLiteral("Message Not Found"), title);
            return false;
        }
        m_messages.Copy();
        m_messages.setMsgSubject(subject);
        m_messages.setMsgNoteText(noteText);
        m_messages.Save();
        return true;
    } catch (const App::AppError &error) {
        reportFailure(QStringLiteral("There was an error saving this message"), error.description(),
                      title);
        return false;
    }
}

void AddRecipients(const QString &recipients, MessageSet &messages, int recipientType, bool resolve)
{
    QString list = recipients;
    if (list.isEmpty())
        return;
    const QString separator = QStringLiteral(";");
    int index = messages.RecipCount();
    do {
        messages.setRecipIndex(index);
        messages.setRecipDisplayName(App::PopToken(list, separator).trimmed());
        if (resolve)
            messages.ResolveName();
        messages.setRecipType(recipientType);
        ++index;
    } while (!list.isEmpty());
}

bool SendPhoneMessage(MessageSet &messages, const QString &recipients, const QString &subject,
                      const QString &noteText)
{
    try {
        messages.Compose();
        AddRecipients(recipients, messages, PrimaryRecipient, true);
        messages.setMsgSubject(subject);
        messages.setMsgNoteText(noteText);
        messages.setMsgType(PhoneMessageClass);
        messages.Send();
        return true;
    } catch (const App::AppError &error) {
        reportFailure(QStringLiteral("Error Sending Message"), error.description(), App::AppTitle);
        return false;
    }
}

bool SaveMessage(App::Messages &pending, const QString &key, const QString &subject,
                 const QString &noteText)
{
    try {
        App::Message &message = pending.Item(key);
        message.setSubject(subject);
        if (noteText.isEmpty()) {
            // The store is written with the held text; one never loaded would
            // otherwise replace the stored body with nothing.
            (void)message.NoteText();
        } else {
            message.setNoteText(noteText);
        }
        // The store shows its own box when the message is gone or cannot be saved.
        return message.Update();
    } catch (const App::AppError &error) {
        reportFailure(QStringLiteral("Error Saving Message"), error.description(), App::AppTitle);
        return false;
    }
}

void DeleteSelectedMessage(App::MainWindow &main)
{
    const QString key = main.GetSelectedMsgKey();
    if (key.isEmpty()) {
        App::showMessage(QStringLiteral("Select a Message to Delete"), App::PromptButtons::Ok,
                         App::PromptIcon::Exclamation, App::AppTitle);
        return;
    }
    if (Config::settings().ConfirmDeletes() &&
        App::showMessage(QStringLiteral("Are You Sure You Want to Delete the Selected Message?"),
                         App::PromptButtons::YesNoCancel, App::PromptIcon::Question,
                         App::AppTitle) != App::PromptAnswer::Yes)
        return;

    try {
        // The message deletes itself in the store and leaves the collection
        // only when that worked; the store reports its own failure.
        (void)main.PendingMessages().Remove(key);
    } catch (const App::AppError &error) {
        // The row no longer has a pending message behind it (the collection was
        // refilled meanwhile); the refill below brings the list in step.
        reportFailure(QStringLiteral("Error Deleting Message"), error.description(),
                      QStringLiteral("fMAPIDeleteMessage Error"));
    }
    main.ClearMessage();
    DisplayMessages(main, main.ui().lvMsgs);
}

bool PickFromAddressBook(MessageSet &messages, QStringList &names)
{
    try {
        messages.Compose();
        // The address book's choice becomes the compose buffer's recipients,
        // as a mail system's own address book dialog leaves it.
        for (const AddressEntry &entry : ShowAddressBook(messages.addressBook())) {
            messages.setRecipIndex(messages.RecipCount());
            messages.setRecipDisplayName(entry.displayName);
            messages.setRecipType(PrimaryRecipient);
        }
        const int count = messages.RecipCount();
        if (count == 0)
            return false;
        QStringList chosen;
        chosen.reserve(count);
        for (int index = 0; index < count; ++index) {
            messages.setRecipIndex(index);
            chosen.append(messages.RecipDisplayName());
        }
        names = chosen;
        return true;
    } catch (const App::AppError &) {
        return false;
    }
}

} // namespace Telvora::Mail
