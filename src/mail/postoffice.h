// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/apperror.h"
#include "mail/mailprofile.h"
#include "mail/mailsystem.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace Telvora::Mail {

namespace Internal {
class Maildir;
}

/// A failure of a post office operation, with the kind of failure for callers
/// that act on it (the command-line tool maps kinds to exit codes).
class PostOfficeError : public App::AppError
{
public:
    enum class Kind
    {
        Failure,        ///< reading or writing failed
        NotAPostOffice, ///< the directory is not a post office
        AlreadyExists,  ///< the post office, mailbox or name exists already
        InvalidName,    ///< a mailbox or display name that is not allowed
        NotWritable,    ///< the directory or a file in it cannot be created or written
        UnknownName,    ///< no address list entry or mailbox has the name
        AmbiguousName,  ///< several address list entries have the name
    };

    PostOfficeError(Kind kind, QString description)
        : App::AppError(App::ErrorNumber::MailFailure, std::move(description),
                        QStringLiteral("PostOffice"))
        , m_kind(kind)
    {}

    [[nodiscard]] Kind kind() const noexcept { return m_kind; }

private:
    Kind m_kind;
};

/// A post office: a directory an office shares (local disk or network share)
/// holding one Maildir per mailbox (DIR/<mailbox>/{tmp,new,cur}), the address
/// list ".addresses" (UTF-8 lines "mailbox<TAB>display name", changed under the
/// lock file ".addresses.lock" and replaced in one step) and the marker file
/// ".postoffice" that tells it is one. Every failure throws PostOfficeError.
class PostOffice
{
public:
    /// Opens an existing post office; throws (NotAPostOffice) when the
    /// directory has no marker file.
    explicit PostOffice(const QString &directory);

    /// Makes the directory (created when missing; it must be empty otherwise) a
    /// new, empty post office.
    static PostOffice create(const QString &directory);

    /// Whether the directory holds a post office.
    [[nodiscard]] static bool isPostOffice(const QString &directory);

    /// Mailbox names are made of ASCII letters, digits, ".", "_" and "-", do not
    /// start with "." or hold "..", and have at most 64 characters.
    [[nodiscard]] static bool isValidMailboxName(const QString &mailbox);

    [[nodiscard]] const QString &directory() const { return m_directory; }

    /// The address list in file order.
    [[nodiscard]] QList<AddressEntry> addressList() const;

    /// The entry whose mailbox name is exactly the given one.
    [[nodiscard]] std::optional<AddressEntry> findMailbox(const QString &mailbox) const;

    /// The one entry whose display name or mailbox name equals the name (blanks
    /// around it ignored), ignoring letter case. Throws UnknownName with
    /// `Unknown recipient "NAME".` or AmbiguousName with
    /// `The name "NAME" is ambiguous.`.
    [[nodiscard]] AddressEntry resolveName(const QString &name) const;

    /// Creates a mailbox and its address list entry; the display name defaults to
    /// the mailbox name. Throws InvalidName, AlreadyExists (when the mailbox name
    /// or the display name equals an existing entry's mailbox or display name,
    /// ignoring case) or NotWritable.
    AddressEntry addMailbox(const QString &mailbox, const QString &displayName = {});

    /// The Maildir directory of a mailbox.
    [[nodiscard]] QString maildirPath(const QString &mailbox) const;

    /// Delivers a message from the sender to every recipient (each mailbox once):
    /// all or nothing. Returns the new message identifiers, one per mailbox.
    QStringList deliver(const AddressEntry &from, const OutgoingMessage &message);

    /// The mail address of a mailbox: "mailbox@localhost".
    [[nodiscard]] static QString addressOf(const QString &mailbox);

private:
    QString m_directory;
};

/// The embedded default mail system: signs on to a mailbox of a post office
/// named by the mail profile.
class PostOfficeMailSystem : public MailSystem
{
public:
    /// Asked for a profile when none is configured or a new session is wanted;
    /// gets the profile in force (if any), returns the chosen one or nothing
    /// when the user cancelled.
    using LogonHandler =
        std::function<std::optional<MailProfile>(const std::optional<MailProfile> &current)>;

    PostOfficeMailSystem();
    ~PostOfficeMailSystem() override;

    /// Installs the logon dialog; without one, signing on with no profile fails.
    void setLogonHandler(LogonHandler handler) { m_logonHandler = std::move(handler); }

    void SignOn(const LogonOptions &options) override;
    void SignOff() override;
    [[nodiscard]] bool isSignedOn() const override { return m_sessionId != 0; }
    [[nodiscard]] qint64 SessionID() const override { return m_sessionId; }
    bool ForceDelivery() override;
    [[nodiscard]] AddressEntry currentUser() const override;
    [[nodiscard]] QList<MessageSummary> fetch(const QString &messageClass) override;
    [[nodiscard]] QString noteText(const QString &id) override;
    [[nodiscard]] AddressEntry resolveName(const QString &name) override;
    void send(const OutgoingMessage &message) override;
    void replace(const QString &id, const QString &subject, const QString &noteText) override;
    void remove(const QString &id) override;
    [[nodiscard]] QList<AddressEntry> addressList() override;

    /// Forgets what fetch keeps in memory, as a new process would start.
    void dropFetchCache();

private:
    void requireSession() const;

    LogonHandler m_logonHandler;
    std::optional<PostOffice> m_postOffice;
    std::unique_ptr<Internal::Maildir> m_inbox;
    AddressEntry m_user;
    qint64 m_sessionId = 0;
};

/// The mail system the program uses: the post office.
[[nodiscard]] std::unique_ptr<PostOfficeMailSystem> createDefaultMailSystem();

} // namespace Telvora::Mail
