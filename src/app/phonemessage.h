// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace Telvora::App {

/// Where a pending phone message's text lives and where it is deleted and saved:
/// the mailbox operations on the user's phone message set. Each operation shows
/// its own failure to the user and reports it in its result.
class MessageStore
{
public:
    virtual ~MessageStore() = default;
    /// The note text of the message, or "" when it cannot be read.
    [[nodiscard]] virtual QString GetNoteText(const QString &id) = 0;
    /// True when the mail system deleted the message.
    [[nodiscard]] virtual bool DeleteMailMessage(const QString &id) = 0;
    /// True when subject and text were written back into the message.
    [[nodiscard]] virtual bool UpdateMailMessage(const QString &id, const QString &subject,
                                                 const QString &noteText) = 0;
};

/// The originator of a message.
struct Person
{
    QString Name;
    QString Address;
};

/// One phone message of the mail box, as fetched. The note text is loaded from
/// the store on first use. Read-only members throw AppError
/// ErrorNumber::ReadOnlyProperty when written.
class Message
{
public:
    explicit Message(MessageStore &store)
        : m_store(&store)
    {}

    [[nodiscard]] const QString &Subject() const { return m_subject; }
    void setSubject(const QString &subject) { m_subject = subject; }

    [[nodiscard]] Person &Sender() { return m_sender; }
    [[nodiscard]] const Person &Sender() const { return m_sender; }

    [[nodiscard]] bool Read() const { return m_read; }
    void setRead(bool read) { m_read = read; }

    [[nodiscard]] const QString &ID() const { return m_id; }
    /// Stores the identifier once; a second write throws and keeps the first.
    void setID(const QString &id);

    [[nodiscard]] const QString &DateTimeReceived() const { return m_dateTimeReceived; }
    /// Stores the mail system's "YYYY/MM/DD HH:MM" stamp and derives DateReceived
    /// ("MM/DD/YY") and TimeReceived ("h:mmA" or "h:mmP") from it.
    void setDateTimeReceived(const QString &stamp);

    [[nodiscard]] const QString &DateReceived() const { return m_dateReceived; }
    /// Always throws: the date is derived from DateTimeReceived.
    [[noreturn]] void setDateReceived(const QString &value);
    [[nodiscard]] const QString &TimeReceived() const { return m_timeReceived; }
    /// Always throws: the time is derived from DateTimeReceived.
    [[noreturn]] void setTimeReceived(const QString &value);

    /// The note text, fetched from the store while none is held; marks the
    /// message read.
    [[nodiscard]] QString NoteText();
    /// Stores a new note text; an empty text leaves the held one unchanged.
    void setNoteText(const QString &text);

    /// Deletes the message in the store; true when the store deleted it.
    [[nodiscard]] bool Delete();
    /// Writes the subject and the held note text (not fetched) back to the store.
    [[nodiscard]] bool Update();
    /// Sending an existing message does nothing.
    void Send() {}

private:
    MessageStore *m_store;
    QString m_subject;
    Person m_sender;
    bool m_read = false;
    QString m_id;
    QString m_dateTimeReceived;
    QString m_dateReceived;
    QString m_timeReceived;
    QString m_noteText;
};

/// The pending phone messages of the mail box in the order they were added,
/// reachable by 1-based position or by identifier.
class Messages
{
public:
    explicit Messages(MessageStore &store)
        : m_store(store)
    {}
    Messages(const Messages &) = delete;
    Messages &operator=(const Messages &) = delete;

    /// Adds a message under its identifier; throws AppError when the identifier is
    /// already present, leaving the collection unchanged.
    Message &Add(const QString &newId, const QString &subject, const QString &timeReceived,
                 bool read, const QString &senderName, const QString &senderAddress);

    [[nodiscard]] int Count() const { return int(m_items.size()); }
    void Clear();

    /// By 1-based position or by identifier; throws AppError when there is none.
    Message &Item(int position) const;
    Message &Item(const QString &id) const;
    [[nodiscard]] bool contains(const QString &id) const { return m_byId.contains(id); }

    /// Asks the message to delete itself from the store and drops it only when
    /// that worked; returns whether it did. Throws when there is no such message.
    [[nodiscard]] bool Remove(int position);
    [[nodiscard]] bool Remove(const QString &id);

    [[nodiscard]] int UnreadCount() const;

    // Range-for over the messages in collection order.
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    [[nodiscard]] bool removeAt(std::size_t index);

    MessageStore &m_store;
    std::vector<std::unique_ptr<Message>> m_items;
    QHash<QString, Message *> m_byId;
};

} // namespace Telvora::App
