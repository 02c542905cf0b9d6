// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace Telvora::Mail {

/// The three options the program passes when it signs on.
struct LogonOptions
{
    /// The mail system may ask the user for its profile when it has none.
    bool logonUI = true;
    /// Make the mail system deliver waiting mail while signing on.
    bool downloadMail = false;
    /// Always start a new session (lets the user pick another profile).
    bool newSession = false;
};

/// One entry of the address list: a mailbox and the name people know it by.
struct AddressEntry
{
    QString mailbox;     ///< the mailbox name inside the mail system
    QString displayName; ///< the name shown and typed by users
    QString address;     ///< the mail address ("mailbox@host")
};

/// The six fields a fetch reads of every message; the note text is read apart.
struct MessageSummary
{
    QString id; ///< stays the same across fetches and flag changes
    QString subject;
    QString dateReceived; ///< delivery time as "YYYY/MM/DD HH:MM" (local time)
    bool read = false;
    QString originatorName;
    QString originatorAddress;
};

/// A message handed to the mail system for delivery.
struct OutgoingMessage
{
    QString messageClass;
    QString subject;
    QString noteText;
    QList<AddressEntry> recipients; ///< resolved recipients
};

/// A place where phone messages are delivered and fetched: a post office
/// directory or a mail server. One instance serves one signed-on user.
/// Every failing operation throws App::AppError with a description fit to be
/// shown to the user after the program's own sentence.
class MailSystem
{
public:
    virtual ~MailSystem() = default;

    /// Opens the session. Throws AppError number ErrorNumber::MailUserCancel when
    /// the user cancelled a logon dialog, any other AppError when signing on failed.
    virtual void SignOn(const LogonOptions &options) = 0;

    /// Closes the session. Throws AppError when closing failed; the session is
    /// closed all the same.
    virtual void SignOff() = 0;

    [[nodiscard]] virtual bool isSignedOn() const = 0;

    /// A number naming the open session; 0 when signed off.
    [[nodiscard]] virtual qint64 SessionID() const = 0;

    /// Makes the mail system deliver mail that waits on a server. Returns false
    /// when it could not even sign on for it; nothing is shown either way.
    virtual bool ForceDelivery() = 0;

    /// The signed-on user as an originator of mail.
    [[nodiscard]] virtual AddressEntry currentUser() const = 0;

    /// Every message of the class in the user's inbox, read and unread alike, in
    /// delivery order. Messages that cannot be read are left out (and left alone).
    [[nodiscard]] virtual QList<MessageSummary> fetch(const QString &messageClass) = 0;

    /// The note text of a message, exactly as sent. Marks the message read in
    /// the store. Throws when the message is gone or cannot be read.
    [[nodiscard]] virtual QString noteText(const QString &id) = 0;

    /// Finds the one address list entry whose display name or mailbox name equals
    /// the name, ignoring letter case. Throws AppError naming the name when none
    /// or more than one entry matches.
    [[nodiscard]] virtual AddressEntry resolveName(const QString &name) = 0;

    /// Delivers the message to every recipient. Either every recipient gets it or,
    /// when delivery fails, none does, and AppError is thrown.
    virtual void send(const OutgoingMessage &message) = 0;

    /// Replaces the subject and note text of a stored message in one step; its
    /// identifier, class, originator, delivery time and read state stay.
    virtual void replace(const QString &id, const QString &subject, const QString &noteText) = 0;

    /// Deletes a stored message.
    virtual void remove(const QString &id) = 0;

    /// Every entry of the address list, in the mail system's order.
    [[nodiscard]] virtual QList<AddressEntry> addressList() = 0;
};

} // namespace Telvora::Mail
