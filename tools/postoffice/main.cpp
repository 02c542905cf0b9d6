// SPDX-License-Identifier: GPL-3.0-or-later
// telvora-postoffice: sets up and looks after a post office directory.

#include "mail/mailprofile.h"
#include "mail/postoffice.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using namespace Telvora;
using Mail::PostOfficeError;

namespace {

enum ExitCode
{
    Ok = 0,
    Failure = 1,
    Usage = 2,
    NotAPostOffice = 3,
    AlreadyExists = 4,
    InvalidName = 5,
    NotWritable = 6,
    UnknownName = 7,
};

constexpr char UsageText[] =
    "Usage:\n"
    "  telvora-postoffice init DIR\n"
    "      Makes DIR (new or empty) a post office.\n"
    "  telvora-postoffice add DIR MAILBOX [DISPLAY NAME...]\n"
    "      Adds a mailbox; the display name defaults to the mailbox name.\n"
    "  telvora-postoffice list DIR\n"
    "      Prints the address list: mailbox TAB display name.\n"
    "  telvora-postoffice use DIR MAILBOX\n"
    "      Makes the current user sign on to MAILBOX of the post office DIR.\n"
    "  telvora-postoffice send [--class CLASS] DIR FROM TO SUBJECT\n"
    "      Sends the note text read from standard input from the mailbox FROM\n"
    "      to the names in TO (separated by \";\"). CLASS defaults to the phone\n"
    "      message class.\n"
    "Exit codes: 0 done, 1 failure, 2 usage, 3 not a post office, 4 exists already,\n"
    "5 invalid name, 6 cannot write, 7 unknown or ambiguous name.\n";

constexpr char PhoneMessageClass[] = "IPM.KVXTelvora.PhoneMsg";

void printError(const QString &text)
{
    QTextStream(stderr) << "telvora-postoffice: " << text << '\n';
}

int usage(const QString &problem)
{
    printError(problem);
    std::fputs(UsageText, stderr);
    return Usage;
}

int exitCodeOf(PostOfficeError::Kind kind)
{
    switch (kind) {
    case PostOfficeError::Kind::Failure:
        return Failure;
    case PostOfficeError::Kind::NotAPostOffice:
        return NotAPostOffice;
    case PostOfficeError::Kind::AlreadyExists:
        return AlreadyExists;
    case PostOfficeError::Kind::InvalidName:
        return InvalidName;
    case PostOfficeError::Kind::NotWritable:
        return NotWritable;
    case PostOfficeError::Kind::UnknownName:
    case PostOfficeError::Kind::AmbiguousName:
        return UnknownName;
    }
    return Failure;
}

int init(const QStringList &args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("init takes one directory."));
    (void)Mail::PostOffice::create(args[0]);
    QTextStream(stdout) << "Created the post office " << args[0] << '\n';
    return Ok;
}

int add(const QStringList &args)
{
    if (args.size() < 2)
        return usage(
            QStringLiteral("add takes a directory, a mailbox name and an optional display name."));
    Mail::PostOffice office(args[0]);
    const Mail::AddressEntry entry = office.addMailbox(args[1], args.mid(2).join(u' '));
    QTextStream(stdout) << "Added " << entry.mailbox << " (" << entry.displayName << ")\n";
    return Ok;
}

int list(const QStringList &args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("list takes one directory."));
    const Mail::PostOffice office(args[0]);
    QTextStream out(stdout);
    for (const Mail::AddressEntry &entry : office.addressList())
        out << entry.mailbox << '\t' << entry.displayName << '\n';
    return Ok;
}

int use(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("use takes a directory and a mailbox name."));
    const Mail::PostOffice office(QFileInfo(args[0]).absoluteFilePath());
    if (!office.findMailbox(args[1]))
        throw PostOfficeError(
            PostOfficeError::Kind::UnknownName,
            QStringLiteral("There is no mailbox \"%1\" in the post office \"%2\".")
                .arg(args[1], args[0]));
    const Mail::MailProfile profile{office.directory(), args[1]};
    try {
        profile.save();
    } catch (const App::AppError &error) {
        throw PostOfficeError(PostOfficeError::Kind::NotWritable, error.description());
    }
    QTextStream(stdout) << "Mail profile written to " << Mail::MailProfile::filePath() << '\n';
    return Ok;
}

int send(QStringList args)
{
    QString messageClass = QString::fromLatin1(PhoneMessageClass);
    if (!args.isEmpty() && args[0] == QStringLiteral("--class")) {
        if (args.size() < 2)
            return usage(QStringLiteral("--class takes a message class."));
        messageClass = args[1];
        args = args.mid(2);
    }
    if (args.size() != 4)
        return usage(
            QStringLiteral("send takes a directory, a sender, the recipients and a subject."));
    if (messageClass.isEmpty())
        return usage(QStringLiteral("the message class must not be empty."));
    Mail::PostOffice office(args[0]);
    const std::optional<Mail::AddressEntry> mailbox = office.findMailbox(args[1]);
    const Mail::AddressEntry from = mailbox ? *mailbox : office.resolveName(args[1]);

    Mail::OutgoingMessage message;
    message.messageClass = messageClass;
    message.subject = args[3];
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw PostOfficeError(PostOfficeError::Kind::Failure,
                              QStringLiteral("Cannot read the note text."));
    message.noteText = QString::fromUtf8(in.readAll());
    for (const QString &name : args[2].split(u';')) {
        if (!name.trimmed().isEmpty())
            message.recipients.append(office.resolveName(name));
    }
    if (message.recipients.isEmpty())
        return usage(QStringLiteral("send needs at least one recipient."));
    const QStringList ids = office.deliver(from, message);
    QTextStream out(stdout);
    for (const QString &id : ids)
        out << id << '\n';
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("no command given."));
    const QString command = args.takeFirst();
    try {
        if (command == QStringLiteral("init"))
            return init(args);
        if (command == QStringLiteral("add"))
            return add(args);
        if (command == QStringLiteral("list"))
            return list(args);
        if (command == QStringLiteral("use"))
            return use(args);
        if (command == QStringLiteral("send"))
            return send(args);
        if (command == QStringLiteral("help") || command == QStringLiteral("--help") ||
            command == QStringLiteral("-h")) {
            std::fputs(UsageText, stdout);
            return Ok;
        }
        return usage(QStringLiteral("unknown command \"%1\".").arg(command));
    } catch (const PostOfficeError &error) {
        printError(error.description());
        return exitCodeOf(error.kind());
    } catch (const App::AppError &error) {
        printError(error.description());
        return Failure;
    } catch (const std::exception &error) {
        printError(QString::fromLocal8Bit(error.what()));
        return Failure;
    }
}
