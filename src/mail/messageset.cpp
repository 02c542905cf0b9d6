// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/messageset.h"

#include "app/apperror.h"

namespace Telvora::Mail {

namespace {

[[noreturn]] void fail(const QString &description)
{
    throw App::AppError(App::ErrorNumber::MailFailure, description, QStringLiteral("MessageSet"));
}

} // namespace

void MessageSet::Fetch()
{
    m_fetched = m_system.fetch(m_fetchMsgType);
    m_index = m_fetched.isEmpty() ? -1 : 0;
}

void MessageSet::setMsgIndex(int index)
{
    if (index < 0 || index >= MsgCount())
        fail(QStringLiteral("The message index %1 is out of range (%2 messages).")
                 .arg(index)
                 .arg(MsgCount()));
    m_index = index;
}

const MessageSummary &MessageSet::current() const
{
    if (m_index < 0 || m_index >= MsgCount())
        fail(QStringLiteral("No message is selected."));
    return m_fetched[m_index];
}

QString MessageSet::MsgID() const
{
    return current().id;
}

QString MessageSet::MsgSubject() const
{
    return current().subject;
}

QString MessageSet::MsgDateReceived() const
{
    return current().dateReceived;
}

bool MessageSet::MsgRead() const
{
    return current().read;
}

QString MessageSet::MsgOrigDisplayName() const
{
    return current().originatorName;
}

QString MessageSet::MsgOrigAddress() const
{
    return current().originatorAddress;
}

QString MessageSet::MsgNoteText()
{
    const QString text = m_system.noteText(current().id);
    m_fetched[m_index].read = true;
    return text;
}

void MessageSet::Delete()
{
    m_system.remove(current().id);
    m_fetched.removeAt(m_index);
    if (m_index >= MsgCount())
        m_index = MsgCount() - 1;
}

void MessageSet::Copy()
{
    const MessageSummary &message = current();
    Compose();
    m_compose.subject = message.subject;
    m_compose.noteText = m_system.noteText(message.id);
    m_compose.messageClass = m_fetchMsgType;
    m_copiedId = message.id;
    m_fetched[m_index].read = true;
}

void MessageSet::Compose()
{
    m_compose = {};
    m_recipients.clear();
    m_recipIndex = -1;
    m_copiedId.clear();
}

void MessageSet::setRecipIndex(int index)
{
    if (index < 0 || index > RecipCount())
        fail(QStringLiteral("The recipient index %1 is out of range (%2 recipients).")
                 .arg(index)
                 .arg(RecipCount()));
    if (index == RecipCount())
        m_recipients.append(ComposeRecipient{});
    m_recipIndex = index;
}

MessageSet::ComposeRecipient &MessageSet::currentRecipient()
{
    if (m_recipIndex < 0 || m_recipIndex >= RecipCount())
        fail(QStringLiteral("No recipient is selected."));
    return m_recipients[m_recipIndex];
}

const MessageSet::ComposeRecipient &MessageSet::currentRecipient() const
{
    if (m_recipIndex < 0 || m_recipIndex >= RecipCount())
        fail(QStringLiteral("No recipient is selected."));
    return m_recipients[m_recipIndex];
}

void MessageSet::setRecipDisplayName(const QString &name)
{
    ComposeRecipient &recipient = currentRecipient();
    recipient.displayName = name;
    recipient.resolved.reset();
}

QString MessageSet::RecipDisplayName() const
{
    return currentRecipient().displayName;
}

void MessageSet::setRecipType(int type)
{
    currentRecipient().type = type;
}

int MessageSet::RecipType() const
{
    return currentRecipient().type;
}

void MessageSet::ResolveName()
{
    ComposeRecipient &recipient = currentRecipient();
    const AddressEntry entry = m_system.resolveName(recipient.displayName);
    recipient.resolved = entry;
    recipient.displayName = entry.displayName;
}

void MessageSet::Send()
{
    if (m_recipients.isEmpty())
        fail(QStringLiteral("The message has no recipients."));
    if (m_compose.messageClass.isEmpty())
        fail(QStringLiteral("The message has no message class."));
    OutgoingMessage message = m_compose;
    message.recipients.clear();
    for (ComposeRecipient &recipient : m_recipients) {
        if (!recipient.resolved) {
            recipient.resolved = m_system.resolveName(recipient.displayName);
            recipient.displayName = recipient.resolved->displayName;
        }
        message.recipients.append(*recipient.resolved);
    }
    m_system.send(message);
}

void MessageSet::Save()
{
    if (m_copiedId.isEmpty())
        fail(QStringLiteral("No message was copied to save."));
    m_system.replace(m_copiedId, m_compose.subject, m_compose.noteText);
    for (MessageSummary &message : m_fetched) {
        if (message.id == m_copiedId)
            message.subject = m_compose.subject;
    }
}

} // namespace Telvora::Mail
