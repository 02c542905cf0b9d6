// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/postoffice.h"

#include "mail/maildir.h"
#include "mail/mimemessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <atomic>
#include <unistd.h>

namespace Telvora::Mail {

namespace {

using Kind = PostOfficeError::Kind;

constexpr char MarkerName[] = ".postoffice";
constexpr char AddressListName[] = ".addresses";
constexpr char LockName[] = ".addresses.lock";
constexpr qsizetype MaxDisplayNameLength = 256;

QString inDirectory(const QString &directory, const char *name)
{
    return QDir(directory).filePath(QLatin1String(name));
}

bool validDisplayName(const QString &name)
{
    if (name.isEmpty() || name.size() > MaxDisplayNameLength || name != name.trimmed())
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

QList<AddressEntry> parseAddressList(const QByteArray &data)
{
    QList<AddressEntry> entries;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        AddressEntry entry;
        entry.mailbox = QString::fromUtf8(tab < 0 ? line : line.first(tab)).trimmed();
        entry.displayName =
            tab < 0 ? entry.mailbox : QString::fromUtf8(line.sliced(tab + 1)).trimmed();
        if (entry.displayName.isEmpty())
            entry.displayName = entry.mailbox;
        // A hand-edited list must not lead outside the post office.
        if (!PostOffice::isValidMailboxName(entry.mailbox))
            continue;
        entry.address = PostOffice::addressOf(entry.mailbox);
        entries.append(entry);
    }
    return entries;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw PostOfficeError(
            Kind::NotWritable,
            QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
}

bool sameName(const QString &a, const QString &b)
{
    return a.toCaseFolded() == b.toCaseFolded();
}

qint64 newSessionId()
{
    static std::atomic<qint64> counter{0};
    return (qint64(::getpid()) << 20) + (++counter & 0xFFFFF);
}

} // namespace

// --- PostOffice ------------------------------------------------------------

PostOffice::PostOffice(const QString &directory)
    : m_directory(QDir::cleanPath(directory))
{
    if (!QFileInfo(m_directory).isDir())
        throw PostOfficeError(
            Kind::NotAPostOffice,
            QStringLiteral("The post office \"%1\" does not exist.").arg(directory));
    if (!isPostOffice(m_directory))
        throw PostOfficeError(Kind::NotAPostOffice,
                              QStringLiteral("\"%1\" is not a post office.").arg(directory));
}

PostOffice PostOffice::create(const QString &directory)
{
    const QFileInfo info(directory);
    if (info.exists() && !info.isDir())
        throw PostOfficeError(Kind::NotWritable,
                              QStringLiteral("\"%1\" is not a directory.").arg(directory));
    if (isPostOffice(directory))
        throw PostOfficeError(Kind::AlreadyExists,
                              QStringLiteral("\"%1\" is a post office already.").arg(directory));
    if (info.exists() && !QDir(directory).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot))
        throw PostOfficeError(
            Kind::Failure,
            QStringLiteral("The directory \"%1\" is not empty; a post office needs an empty one.")
                .arg(directory));
    if (!QDir().mkpath(directory))
        throw PostOfficeError(Kind::NotWritable,
                              QStringLiteral("Cannot create the directory \"%1\".").arg(directory));
    writeFile(inDirectory(directory, AddressListName), QByteArray());
    writeFile(inDirectory(directory, MarkerName),
              QByteArrayLiteral("Telvora post office\nversion=1\n"));
    return PostOffice(directory);
}

bool PostOffice::isPostOffice(const QString &directory)
{
    return QFileInfo(inDirectory(directory, MarkerName)).isFile();
}

bool PostOffice::isValidMailboxName(const QString &mailbox)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,63}$"));
    return pattern.match(mailbox).hasMatch() && !mailbox.contains(QStringLiteral(".."));
}

QString PostOffice::addressOf(const QString &mailbox)
{
    return mailbox + QStringLiteral("@localhost");
}

QList<AddressEntry> PostOffice::addressList() const
{
    QFile file(inDirectory(m_directory, AddressListName));
    if (!file.open(QIODevice::ReadOnly))
        throw PostOfficeError(
            Kind::Failure,
            QStringLiteral("Cannot read the address list of the post office \"%1\": %2.")
                .arg(m_directory, file.errorString()));
    return parseAddressList(file.readAll());
}

std::optional<AddressEntry> PostOffice::findMailbox(const QString &mailbox) const
{
    for (const AddressEntry &entry : addressList()) {
        if (entry.mailbox == mailbox)
            return entry;
    }
    return std::nullopt;
}

AddressEntry PostOffice::resolveName(const QString &name) const
{
    const QString wanted = name.trimmed();
    QList<AddressEntry> matches;
    for (const AddressEntry &entry : addressList()) {
        if (sameName(entry.displayName, wanted) || sameName(entry.mailbox, wanted))
            matches.append(entry);
    }
    if (matches.isEmpty())
        throw PostOfficeError(Kind::UnknownName,
                              QStringLiteral("Unknown recipient \"%1\".").arg(wanted));
    if (matches.size() > 1)
        throw PostOfficeError(Kind::AmbiguousName,
                              QStringLiteral("The name \"%1\" is ambiguous.").arg(wanted));
    return matches.front();
}

AddressEntry PostOffice::addMailbox(const QString &mailbox, const QString &displayName)
{
    if (!isValidMailboxName(mailbox))
        throw PostOfficeError(
            Kind::InvalidName,
            QStringLiteral(
                "\"%1\" cannot be a mailbox name: use letters, digits, \".\", \"_\" and \"-\" "
                "(not first \".\", no \"..\", at most 64 characters).")
                .arg(mailbox));
    AddressEntry entry;
    entry.mailbox = mailbox;
    entry.displayName = displayName.trimmed().isEmpty() ? mailbox : displayName.trimmed();
    entry.address = addressOf(mailbox);
    if (!validDisplayName(entry.displayName))
        throw PostOfficeError(
            Kind::InvalidName,
            QStringLiteral("\"%1\" cannot be a display name: it must not hold control characters "
                           "(such as TAB) or be longer than %2 characters.")
                .arg(entry.displayName)
                .arg(MaxDisplayNameLength));

    QLockFile lock(inDirectory(m_directory, LockName));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(10000)) {
        if (lock.error() == QLockFile::LockFailedError)
            throw PostOfficeError(
                Kind::Failure,
                QStringLiteral("The address list of \"%1\" is locked by another program.")
                    .arg(m_directory));
        throw PostOfficeError(
            Kind::NotWritable,
            QStringLiteral("Cannot lock the address list of \"%1\".").arg(m_directory));
    }

    QList<AddressEntry> entries = addressList();
    for (const AddressEntry &existing : entries) {
        for (const QString &name : {entry.mailbox, entry.displayName}) {
            if (sameName(existing.mailbox, name) || sameName(existing.displayName, name))
                throw PostOfficeError(
                    Kind::AlreadyExists,
                    QStringLiteral("The name \"%1\" is in use already (mailbox \"%2\", \"%3\").")
                        .arg(name, existing.mailbox, existing.displayName));
        }
    }
    try {
        Internal::Maildir::create(maildirPath(mailbox));
    } catch (const App::AppError &error) {
        throw PostOfficeError(Kind::NotWritable, error.description());
    }
    entries.append(entry);
    QByteArray data;
    for (const AddressEntry &e : std::as_const(entries))
        data += e.mailbox.toUtf8() + '\t' + e.displayName.toUtf8() + '\n';
    writeFile(inDirectory(m_directory, AddressListName), data);
    return entry;
}

QString PostOffice::maildirPath(const QString &mailbox) const
{
    return QDir(m_directory).filePath(mailbox);
}

QStringList PostOffice::deliver(const AddressEntry &from, const OutgoingMessage &message)
{
    if (message.recipients.isEmpty())
        throw PostOfficeError(Kind::Failure, QStringLiteral("The message has no recipients."));
    QList<AddressEntry> recipients;
    QStringList maildirs;
    for (const AddressEntry &recipient : message.recipients) {
        const QString path = maildirPath(recipient.mailbox);
        if (!isValidMailboxName(recipient.mailbox) || !Internal::Maildir::isMaildir(path))
            throw PostOfficeError(Kind::UnknownName,
                                  QStringLiteral("There is no mailbox \"%1\" in the post office.")
                                      .arg(recipient.mailbox));
        if (maildirs.contains(path))
            continue;
        maildirs.append(path);
        AddressEntry to = recipient;
        to.address = addressOf(recipient.mailbox);
        recipients.append(to);
    }
    Internal::MessageHeaders headers;
    headers.messageClass = message.messageClass;
    headers.subject = message.subject;
    headers.fromName = from.displayName;
    headers.fromAddress = addressOf(from.mailbox);
    const QByteArray data = Internal::composeMessage(headers, recipients, message.noteText);
    try {
        return Internal::Maildir::deliver(maildirs, data);
    } catch (const App::AppError &error) {
        throw PostOfficeError(Kind::Failure, error.description());
    }
}

// --- PostOfficeMailSystem --------------------------------------------------

PostOfficeMailSystem::PostOfficeMailSystem() = default;
PostOfficeMailSystem::~PostOfficeMailSystem() = default;

void PostOfficeMailSystem::SignOn(const LogonOptions &options)
{
    SignOff();
    std::optional<MailProfile> profile = MailProfile::load();
    bool chosen = false;
    if (!profile || options.newSession) {
        if (options.logonUI && m_logonHandler) {
            profile = m_logonHandler(profile);
            if (!profile)
                throw App::AppError(App::ErrorNumber::MailUserCancel,
                                    QStringLiteral("The logon was cancelled."),
                                    QStringLiteral("PostOffice"));
            chosen = true;
        } else if (!profile) {
            throw App::AppError(
                App::ErrorNumber::MailFailure,
                QStringLiteral(
                    "No post office is configured. Choose one with \"telvora-postoffice use "
                    "DIRECTORY MAILBOX\" or set TELVORA_POSTOFFICE and TELVORA_MAILBOX."),
                QStringLiteral("PostOffice"));
        }
    }

    PostOffice postOffice(profile->postOffice);
    const std::optional<AddressEntry> user = postOffice.findMailbox(profile->mailbox);
    const QString maildir = postOffice.maildirPath(profile->mailbox);
    if (!user || !Internal::Maildir::isMaildir(maildir))
        throw PostOfficeError(
            Kind::UnknownName,
            QStringLiteral("There is no mailbox \"%1\" in the post office \"%2\".")
                .arg(profile->mailbox, profile->postOffice));
    if (chosen)
        profile->save();

    m_postOffice.emplace(std::move(postOffice));
    m_inbox = std::make_unique<Internal::Maildir>(maildir);
    m_user = *user;
    m_sessionId = newSessionId();
}

void PostOfficeMailSystem::SignOff()
{
    m_sessionId = 0;
    m_inbox.reset();
    m_postOffice.reset();
    m_user = {};
}

bool PostOfficeMailSystem::ForceDelivery()
{
    // Mail is delivered straight into the mailboxes: nothing waits anywhere.
    return true;
}

void PostOfficeMailSystem::requireSession() const
{
    if (!isSignedOn())
        throw App::AppError(App::ErrorNumber::MailFailure,
                            QStringLiteral("Not signed on to the post office."),
                            QStringLiteral("PostOffice"));
}

AddressEntry PostOfficeMailSystem::currentUser() const
{
    requireSession();
    return m_user;
}

QList<MessageSummary> PostOfficeMailSystem::fetch(const QString &messageClass)
{
    requireSession();
    return m_inbox->fetch(messageClass);
}

QString PostOfficeMailSystem::noteText(const QString &id)
{
    requireSession();
    const QByteArray data = m_inbox->readMessage(id);
    QString text;
    try {
        text = Internal::readNoteText(data);
    } catch (const std::exception &error) {
        throw App::AppError(App::ErrorNumber::MailFailure,
                            QStringLiteral("The message cannot be read: %1.")
                                .arg(QString::fromLocal8Bit(error.what())),
                            QStringLiteral("PostOffice"));
    }
    m_inbox->markSeen(id);
    return text;
}

AddressEntry PostOfficeMailSystem::resolveName(const QString &name)
{
    requireSession();
    return m_postOffice->resolveName(name);
}

void PostOfficeMailSystem::send(const OutgoingMessage &message)
{
    requireSession();
    if (message.messageClass.isEmpty())
        throw App::AppError(App::ErrorNumber::MailFailure,
                            QStringLiteral("The message has no message class."),
                            QStringLiteral("PostOffice"));
    (void)m_postOffice->deliver(m_user, message);
}

void PostOfficeMailSystem::replace(const QString &id, const QString &subject,
                                   const QString &noteText)
{
    requireSession();
    const QByteArray data = m_inbox->readMessage(id);
    QByteArray replaced;
    try {
        replaced = Internal::replaceContent(data, subject, noteText);
    } catch (const std::exception &error) {
        throw App::AppError(App::ErrorNumber::MailFailure,
                            QStringLiteral("The message cannot be read: %1.")
                                .arg(QString::fromLocal8Bit(error.what())),
                            QStringLiteral("PostOffice"));
    }
    m_inbox->replace(id, replaced);
}

void PostOfficeMailSystem::remove(const QString &id)
{
    requireSession();
    m_inbox->remove(id);
}

QList<AddressEntry> PostOfficeMailSystem::addressList()
{
    requireSession();
    return m_postOffice->addressList();
}

void PostOfficeMailSystem::dropFetchCache()
{
    if (m_inbox)
        m_inbox->dropMemoryCache();
}

std::unique_ptr<PostOfficeMailSystem> createDefaultMailSystem()
{
    return std::make_unique<PostOfficeMailSystem>();
}

} // namespace Telvora::Mail
