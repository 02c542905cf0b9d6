// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mailbox.h"

#include "app/apperror.h"
#include "app/prompt.h"
#include "mail/messageset.h"

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

} // namespace Telvora::Mail
