// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailsystem.h"

#include <optional>

namespace Telvora::Mail {

/// One fetched set of messages of one class with a current message selected by
/// index, plus one compose buffer: the view of a mail system that the mailbox
/// operations work through. Field reads refer to the current message; the
/// set... functions and the recipient members refer to the compose buffer.
/// Every failure throws App::AppError.
class MessageSet
{
public:
    explicit MessageSet(MailSystem &system)
        : m_system(system)
    {}

    // --- fetched set -----------------------------------------------------
    void setFetchMsgType(const QString &messageClass) { m_fetchMsgType = messageClass; }
    [[nodiscard]] const QString &FetchMsgType() const { return m_fetchMsgType; }

    /// Loads every inbox message of the fetch class; the first becomes current.
    void Fetch();

    [[nodiscard]] int MsgCount() const { return int(m_fetched.size()); }
    /// Selects message 0 to MsgCount() - 1; other values throw.
    void setMsgIndex(int index);
    [[nodiscard]] int MsgIndex() const { return m_index; }

    [[nodiscard]] QString MsgID() const;
    [[nodiscard]] QString MsgSubject() const;
    [[nodiscard]] QString MsgDateReceived() const;
    [[nodiscard]] bool MsgRead() const;
    [[nodiscard]] QString MsgOrigDisplayName() const;
    [[nodiscard]] QString MsgOrigAddress() const;
    /// The note text of the current message; the store marks it read.
    [[nodiscard]] QString MsgNoteText();

    /// Deletes the current message from the store and from this set.
    void Delete();

    /// Copies the current message into the compose buffer, for Save.
    void Copy();

    // --- compose buffer --------------------------------------------------
    /// Empties the compose buffer.
    void Compose();

    void setMsgSubject(const QString &subject) { m_compose.subject = subject; }
    void setMsgNoteText(const QString &noteText) { m_compose.noteText = noteText; }
    void setMsgType(const QString &messageClass) { m_compose.messageClass = messageClass; }
    [[nodiscard]] const QString &composeSubject() const { return m_compose.subject; }
    [[nodiscard]] const QString &composeNoteText() const { return m_compose.noteText; }
    [[nodiscard]] const QString &composeMsgType() const { return m_compose.messageClass; }

    [[nodiscard]] int RecipCount() const { return int(m_recipients.size()); }
    /// Selects recipient 0 to RecipCount(); selecting RecipCount() appends an
    /// empty recipient. Other values throw.
    void setRecipIndex(int index);
    [[nodiscard]] int RecipIndex() const { return m_recipIndex; }
    void setRecipDisplayName(const QString &name);
    [[nodiscard]] QString RecipDisplayName() const;
    void setRecipType(int type);
    [[nodiscard]] int RecipType() const;
    /// Resolves the current recipient against the address list; throws naming it
    /// when it cannot be resolved.
    void ResolveName();

    /// Delivers the compose buffer to its recipients (resolving any that are not
    /// resolved yet). Nothing is delivered when any recipient fails.
    void Send();

    /// Stores the copied message back with the compose buffer's subject and text.
    void Save();

    /// The mail system's address list, for the address book dialog.
    [[nodiscard]] QList<AddressEntry> addressBook() const { return m_system.addressList(); }

private:
    struct ComposeRecipient
    {
        QString displayName;
        int type = 1;
        std::optional<AddressEntry> resolved;
    };

    const MessageSummary &current() const;
    ComposeRecipient &currentRecipient();
    const ComposeRecipient &currentRecipient() const;

    MailSystem &m_system;
    QString m_fetchMsgType;
    QList<MessageSummary> m_fetched;
    int m_index = -1;

    OutgoingMessage m_compose;
    QList<ComposeRecipient> m_recipients;
    int m_recipIndex = -1;
    QString m_copiedId; ///< the message Copy() took, which Save() replaces
};

} // namespace Telvora::Mail
