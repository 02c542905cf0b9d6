// SPDX-License-Identifier: GPL-3.0-or-later
// The post office end to end: delivery, fetching, reading, saving, deleting,
// junk in the mailboxes, sign-on, the command-line tool and concurrent senders.
#include "mail/maildir.h"
#include "mail/mailprofile.h"
#include "mail/messageset.h"
#include "mail/postoffice.h"
#include "tempenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>

#include <vmime/vmime.hpp>

#include <unistd.h>

using namespace Telvora;
using namespace Telvora::Mail;

namespace {

const QString PhoneClass = QStringLiteral("IPM.KVXTelvora.PhoneMsg");
const QString ReceiptClass = QStringLiteral("IPC.KVX.TelvoraReceipt");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

/// Every file below a Maildir's new/ and cur/, as "new/NAME" or "cur/NAME".
QStringList messageFiles(const QString &maildir)
{
    QStringList files;
    for (const QString &sub : {QStringLiteral("new"), QStringLiteral("cur")}) {
        for (const QString &name :
             QDir(maildir + u'/' + sub).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            files.append(sub + u'/' + name);
    }
    return files;
}

/// The recipient text of the slip handed to the mail system name by name, as
/// the program's AddRecipients does it.
void addRecipients(MessageSet &set, const QString &names)
{
    for (const QString &name : names.split(u';')) {
        set.setRecipIndex(set.RecipCount());
        set.setRecipDisplayName(name.trimmed());
        set.ResolveName();
        set.setRecipType(1);
    }
}

/// Delivers `count` messages as a separate process does (the stress test).
int deliverAsWorker(const QString &directory, const QString &tag, int count)
{
    PostOffice office(directory);
    const AddressEntry from = *office.findMailbox(QStringLiteral("desk"));
    OutgoingMessage message;
    message.messageClass = PhoneClass;
    message.recipients = {office.resolveName(QStringLiteral("Ann")),
                          office.resolveName(QStringLiteral("Bob"))};
    for (int i = 0; i < count; ++i) {
        message.subject = QStringLiteral("PHONE: %1\t%2").arg(tag).arg(i);
        message.noteText = QStringLiteral("MESSAGE:\t%1 %2").arg(tag).arg(i);
        (void)office.deliver(from, message);
    }
    return 0;
}

} // namespace

class PostOfficeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Test::TempEnvironment> m_env;
    QString m_dir;

    QString maildir(const QString &mailbox) const { return m_dir + u'/' + mailbox; }

    /// A mail system signed on to the mailbox through the environment.
    std::unique_ptr<PostOfficeMailSystem> signOn(const QString &mailbox)
    {
        qputenv("TELVORA_POSTOFFICE", m_dir.toLocal8Bit());
        qputenv("TELVORA_MAILBOX", mailbox.toLocal8Bit());
        auto system = createDefaultMailSystem();
        system->SignOn(LogonOptions{false, false, false});
        qunsetenv("TELVORA_POSTOFFICE");
        qunsetenv("TELVORA_MAILBOX");
        return system;
    }

    void sendFromDesk(const QString &to, const QString &subject, const QString &text,
                      const QString &cls = PhoneClass)
    {
        auto desk = signOn(QStringLiteral("desk"));
        MessageSet set(*desk);
        set.Compose();
        addRecipients(set, to);
        set.setMsgSubject(subject);
        set.setMsgNoteText(text);
        set.setMsgType(cls);
        set.Send();
    }

    static int runTool(const QStringList &args, QByteArray *err = nullptr,
                       const QByteArray &input = {})
    {
        QProcess tool;
        tool.start(qEnvironmentVariable("TELVORA_POSTOFFICE_TOOL"), args);
        tool.write(input);
        tool.closeWriteChannel();
        tool.waitForFinished(60000);
        if (err)
            *err = tool.readAllStandardError();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

private slots:
    void init()
    {
        qunsetenv("TELVORA_POSTOFFICE");
        qunsetenv("TELVORA_MAILBOX");
        m_env = std::make_unique<Test::TempEnvironment>();
        m_dir = m_env->filePath(QStringLiteral("po"));
        PostOffice office = PostOffice::create(m_dir);
        office.addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
        office.addMailbox(QStringLiteral("ann"), QStringLiteral("Ann"));
        office.addMailbox(QStringLiteral("bob"), QStringLiteral("Bob"));
        office.addMailbox(QStringLiteral("carl"), QStringLiteral("Carl"));
        office.addMailbox(QStringLiteral("unal"), QStringLiteral("Ünal Çelik"));
    }

    void cleanup() { m_env.reset(); }

    void sendsToEveryRecipientInOrder()
    {
        auto desk = signOn(QStringLiteral("desk"));
        MessageSet set(*desk);
        set.Compose();
        addRecipients(set, QStringLiteral("Ann ; Bob;Carl "));
        QCOMPARE(set.RecipCount(), 3);
        QStringList resolved;
        for (int i = 0; i < set.RecipCount(); ++i) {
            set.setRecipIndex(i);
            resolved.append(set.RecipDisplayName());
        }
        QCOMPARE(resolved, (QStringList{"Ann", "Bob", "Carl"}));
        set.setMsgSubject(QStringLiteral("PHONE: Ann Baker\t555-0142"));
        set.setMsgNoteText(QStringLiteral("TELVORA\r\n"));
        set.setMsgType(PhoneClass);
        set.Send();

        for (const QString &mailbox :
             {QStringLiteral("ann"), QStringLiteral("bob"), QStringLiteral("carl")}) {
            auto system = signOn(mailbox);
            const QList<MessageSummary> fetched = system->fetch(PhoneClass);
            QCOMPARE(fetched.size(), 1);
            QCOMPARE(fetched[0].subject, QStringLiteral("PHONE: Ann Baker\t555-0142"));
            QCOMPARE(fetched[0].originatorName, QStringLiteral("Front Desk"));
            QCOMPARE(fetched[0].originatorAddress, QStringLiteral("desk@localhost"));
            QVERIFY(!fetched[0].read);
            QVERIFY(
                QDateTime::fromString(fetched[0].dateReceived, QStringLiteral("yyyy/MM/dd HH:mm"))
                    .isValid());
        }
        QVERIFY(messageFiles(maildir(QStringLiteral("desk"))).isEmpty());
    }

    void unresolvableRecipientDeliversNothing_data()
    {
        QTest::addColumn<QString>("recipients");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown") << "Ann;Bob Smth;Carl"
                                 << R"(Unknown recipient "Bob Smth".)";
        QTest::newRow("ambiguous") << "Ann;John"
                                   << R"(The name "John" is ambiguous.)";
        QTest::newRow("empty between separators") << "Ann;;Bob"
                                                  << R"(Unknown recipient "".)";
    }
    void unresolvableRecipientDeliversNothing()
    {
        QFETCH(QString, recipients);
        QFETCH(QString, error);
        // Two entries known as "John": an address list edited by hand.
        QFile list(m_dir + QStringLiteral("/.addresses"));
        QVERIFY(list.open(QIODevice::Append));
        list.write("john\tJohn Miller\njmiller\tjohn\n");
        list.close();

        auto desk = signOn(QStringLiteral("desk"));
        MessageSet set(*desk);
        set.Compose();
        for (const QString &name : recipients.split(u';')) {
            set.setRecipIndex(set.RecipCount());
            set.setRecipDisplayName(name);
        }
        set.setMsgSubject(QStringLiteral("PHONE: x\ty"));
        set.setMsgType(PhoneClass);
        try {
            set.Send();
            QFAIL("Send succeeded");
        } catch (const App::AppError &e) {
            QCOMPARE(e.description(), error);
        }
        for (const char *mailbox : {"desk", "ann", "bob", "carl", "unal"}) {
            QVERIFY(messageFiles(maildir(QLatin1String(mailbox))).isEmpty());
            QVERIFY(QDir(maildir(QLatin1String(mailbox)) + QStringLiteral("/tmp")).isEmpty());
        }
    }

    void resolvesIgnoringCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mailbox");
        QTest::newRow("display name") << "Front Desk"
                                      << "desk";
        QTest::newRow("other case") << "FRONT desk"
                                    << "desk";
        QTest::newRow("mailbox name") << "CARL"
                                      << "carl";
        QTest::newRow("non-ASCII letters") << "ünal çELIK"
                                           << "unal";
        QTest::newRow("blanks around") << "  Bob "
                                       << "bob";
    }
    void resolvesIgnoringCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, mailbox);
        auto system = signOn(QStringLiteral("ann"));
        const AddressEntry entry = system->resolveName(name);
        QCOMPARE(entry.mailbox, mailbox);
        QCOMPARE(entry.address, mailbox + QStringLiteral("@localhost"));
    }

    void subjectAndBodyRoundTripAsOrdinaryMail()
    {
        const QString subject = QStringLiteral("PHONE: ! Ünal Çelik\t555-0142");
        const QString body = QStringLiteral(
            "TELVORA\r\n\r\nTO:\t\tÜnal Çelik\r\nMESSAGE:\tline one\r\n  two  \r\n\r\n[[15|10]]");
        sendFromDesk(QStringLiteral("Ünal Çelik"), subject, body);
        sendFromDesk(QStringLiteral("Ünal Çelik"), QStringLiteral("15"), QString(), ReceiptClass);

        auto system = signOn(QStringLiteral("unal"));
        const QList<MessageSummary> phone = system->fetch(PhoneClass);
        QCOMPARE(phone.size(), 1);
        QCOMPARE(phone[0].subject, subject);
        QCOMPARE(system->noteText(phone[0].id), body);
        const QList<MessageSummary> receipts = system->fetch(ReceiptClass);
        QCOMPARE(receipts.size(), 1);
        QCOMPARE(receipts[0].subject, QStringLiteral("15"));
        QVERIFY(system->fetch(QStringLiteral("IPM.Note")).isEmpty());

        // The file is an ordinary LF-terminated MIME message.
        const QStringList files = messageFiles(maildir(QStringLiteral("unal")));
        QCOMPARE(files.size(), 2);
        QByteArray raw;
        for (const QString &file : files) {
            if (file.contains(phone[0].id))
                raw = readAll(maildir(QStringLiteral("unal")) + u'/' + file);
        }
        QVERIFY(!raw.contains('\r'));
        const QByteArray head = raw.left(raw.indexOf("\n\n") + 1).toLower();
        for (const char *field : {"\ndate: ", "\nmessage-id: <", "\nmime-version: 1.0\n",
                                  "\nto: ", "\nx-message-class: ipm.kvxtelvora.phonemsg\n",
                                  "\ncontent-type: text/plain; charset=utf-8\n"})
            QVERIFY2(("\n" + head).contains(field), field);
        vmime::message parsed;
        parsed.parse(raw.toStdString());
        const auto from = parsed.getHeader()->From()->getValue<vmime::mailbox>();
        QCOMPARE(QString::fromStdString(from->getName().getConvertedText(vmime::charsets::UTF_8)),
                 QStringLiteral("Front Desk"));
        QCOMPARE(QString::fromStdString(from->getEmail().toString()),
                 QStringLiteral("desk@localhost"));
        QCOMPARE(QString::fromStdString(
                     parsed.getHeader()->Subject()->getValue<vmime::text>()->getConvertedText(
                         vmime::charsets::UTF_8)),
                 subject);
    }

    void noteTextMarksReadAndKeepsTheId()
    {
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: A\t1"), QStringLiteral("text"));
        auto system = signOn(QStringLiteral("ann"));
        MessageSet set(*system);
        set.setFetchMsgType(PhoneClass);
        set.Fetch();
        QCOMPARE(set.MsgCount(), 1);
        const QString id = set.MsgID();
        const QString date = set.MsgDateReceived();
        QVERIFY(!set.MsgRead());
        QCOMPARE(set.MsgNoteText(), QStringLiteral("text"));
        QVERIFY(set.MsgRead());
        QCOMPARE(messageFiles(maildir(QStringLiteral("ann"))),
                 QStringList{QStringLiteral("cur/") + id + QStringLiteral(":2,S")});

        auto other = signOn(QStringLiteral("ann")); // another client, no shared memory
        const QList<MessageSummary> fetched = other->fetch(PhoneClass);
        QCOMPARE(fetched.size(), 1);
        QCOMPARE(fetched[0].id, id);
        QVERIFY(fetched[0].read);
        QCOMPARE(fetched[0].dateReceived, date);
    }

    void saveReplacesTheMessageInPlace()
    {
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: Old\t1"),
                     QStringLiteral("old text"));
        auto system = signOn(QStringLiteral("ann"));
        MessageSet set(*system);
        set.setFetchMsgType(PhoneClass);
        set.Fetch();
        const MessageSummary before = system->fetch(PhoneClass).at(0);
        set.Copy();
        QCOMPARE(set.composeNoteText(), QStringLiteral("old text"));
        QCOMPARE(set.composeMsgType(), PhoneClass);
        set.setMsgSubject(QStringLiteral("PHONE: New\t2"));
        set.setMsgNoteText(QStringLiteral("new\r\ntext"));
        set.Save();

        auto other = signOn(QStringLiteral("ann"));
        const QList<MessageSummary> after = other->fetch(PhoneClass);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after[0].id, before.id);
        QCOMPARE(after[0].subject, QStringLiteral("PHONE: New\t2"));
        QCOMPARE(after[0].dateReceived, before.dateReceived);
        QCOMPARE(after[0].originatorName, before.originatorName);
        QVERIFY(after[0].read); // Copy read the text
        QCOMPARE(other->noteText(before.id), QStringLiteral("new\r\ntext"));
        QCOMPARE(messageFiles(maildir(QStringLiteral("ann"))).size(), 1);
        QVERIFY(QDir(maildir(QStringLiteral("ann")) + QStringLiteral("/tmp")).isEmpty());
    }

    void deleteRemovesFromStoreAndSet()
    {
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: One\t1"), QStringLiteral("1"));
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: Two\t2"), QStringLiteral("2"));
        auto system = signOn(QStringLiteral("ann"));
        MessageSet set(*system);
        set.setFetchMsgType(PhoneClass);
        set.Fetch();
        QCOMPARE(set.MsgCount(), 2);
        QCOMPARE(set.MsgSubject(), QStringLiteral("PHONE: One\t1")); // delivery order
        const QString first = set.MsgID();
        set.Delete();
        QCOMPARE(set.MsgCount(), 1);
        QCOMPARE(set.MsgSubject(), QStringLiteral("PHONE: Two\t2"));
        QCOMPARE(messageFiles(maildir(QStringLiteral("ann"))).size(), 1);
        QVERIFY_THROWS_EXCEPTION(App::AppError, system->remove(first));
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)system->noteText(first));
        QVERIFY_THROWS_EXCEPTION(App::AppError,
                                 (void)system->noteText(QStringLiteral("../../desk/new/x")));
    }

    void junkInTheMailboxIsSkippedAndLeftAlone()
    {
        const QString newDir = maildir(QStringLiteral("ann")) + QStringLiteral("/new/");
        const QByteArray noClass = "From: x@y\nSubject: hello\n\nplain mail\n";
        const QByteArray huge(2 * 1024 * 1024, 'x');
        const QByteArray hugeMessage = "X-Message-Class: " + PhoneClass.toUtf8() +
                                       "\nSubject: big\n\n" +
                                       QByteArray(Internal::Maildir::MaxMessageSize + 1, 'y');
        writeAll(newDir + QStringLiteral("100.junk1.host"), "this is not mail at all");
        writeAll(newDir + QStringLiteral("101.junk2.host"), noClass);
        writeAll(newDir + QStringLiteral("102.junk3.host"), QByteArray());
        writeAll(newDir + QStringLiteral("103.junk4.host"), huge);
        writeAll(newDir + QStringLiteral("104.junk5.host"), hugeMessage);
        QVERIFY(QDir().mkdir(newDir + QStringLiteral("105.junk6.host")));
        writeAll(newDir + QStringLiteral("106.junk7.host"), QByteArray("\x00\xff\n\n\x01", 5));
        const QStringList before = messageFiles(maildir(QStringLiteral("ann")));
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: Real\t1"),
                     QStringLiteral("real"));

        auto system = signOn(QStringLiteral("ann"));
        const QList<MessageSummary> fetched = system->fetch(PhoneClass);
        QCOMPARE(fetched.size(), 2); // the oversized message is listed, but cannot be opened
        QCOMPARE(fetched[0].subject, QStringLiteral("big"));
        QCOMPARE(fetched[1].subject, QStringLiteral("PHONE: Real\t1"));
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)system->noteText(fetched[0].id));
        QCOMPARE(system->noteText(fetched[1].id), QStringLiteral("real"));

        for (const QString &name : before)
            QVERIFY2(messageFiles(maildir(QStringLiteral("ann"))).contains(name), qPrintable(name));
        QCOMPARE(readAll(newDir + QStringLiteral("101.junk2.host")), noClass);
        QCOMPARE(readAll(newDir + QStringLiteral("103.junk4.host")).size(), huge.size());
    }

    void headerCacheIsOnlyACache()
    {
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: First\t1"), QStringLiteral("1"));
        auto reader = signOn(QStringLiteral("ann"));
        QCOMPARE(reader->fetch(PhoneClass).size(), 1); // writes the cache file
        const QString cache = maildir(QStringLiteral("ann")) + QStringLiteral("/.telvora-headers");
        QVERIFY(QFile::exists(cache));

        // Another client changes the message behind the reader's back.
        auto writer = signOn(QStringLiteral("ann"));
        MessageSet set(*writer);
        set.setFetchMsgType(PhoneClass);
        set.Fetch();
        set.Copy();
        set.setMsgSubject(QStringLiteral("PHONE: Changed\t2"));
        set.Save();
        QCOMPARE(reader->fetch(PhoneClass).at(0).subject, QStringLiteral("PHONE: Changed\t2"));

        // A damaged cache file is ignored and rebuilt.
        writeAll(cache, QByteArray("\x54\x56\x48\x43garbage", 11));
        sendFromDesk(QStringLiteral("Ann"), QStringLiteral("PHONE: Second\t3"),
                     QStringLiteral("3"));
        auto cold = signOn(QStringLiteral("ann"));
        const QList<MessageSummary> fetched = cold->fetch(PhoneClass);
        QCOMPARE(fetched.size(), 2);
        QCOMPARE(fetched[1].subject, QStringLiteral("PHONE: Second\t3"));
    }

    void messageSetRefusesWhatItCannotDo()
    {
        auto system = signOn(QStringLiteral("ann"));
        MessageSet set(*system);
        set.setFetchMsgType(PhoneClass);
        set.Fetch();
        QCOMPARE(set.MsgCount(), 0);
        QVERIFY_THROWS_EXCEPTION(App::AppError, set.setMsgIndex(0));
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)set.MsgSubject());
        QVERIFY_THROWS_EXCEPTION(App::AppError, set.Save());
        set.Compose();
        set.setMsgType(PhoneClass);
        QVERIFY_THROWS_EXCEPTION(App::AppError, set.Send()); // no recipients
        QVERIFY_THROWS_EXCEPTION(App::AppError, set.setRecipIndex(1));
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)set.RecipDisplayName());
        addRecipients(set, QStringLiteral("Bob"));
        set.setMsgType(QString());
        QVERIFY_THROWS_EXCEPTION(App::AppError, set.Send()); // no class
        QVERIFY(messageFiles(maildir(QStringLiteral("bob"))).isEmpty());
    }

    void signOnUsesTheMailProfile()
    {
        auto system = createDefaultMailSystem();
        try {
            system->SignOn(LogonOptions{true, false, false});
            QFAIL("signed on without a profile");
        } catch (const App::AppError &e) {
            QCOMPARE(e.number(), App::ErrorNumber::MailFailure);
            QVERIFY(e.description().startsWith(QStringLiteral("No post office is configured.")));
        }
        QCOMPARE(system->SessionID(), 0);

        int asked = 0;
        std::optional<MailProfile> answer;
        system->setLogonHandler([&](const std::optional<MailProfile> &) {
            ++asked;
            return answer;
        });
        try {
            system->SignOn(LogonOptions{true, false, false});
            QFAIL("signed on after cancel");
        } catch (const App::AppError &e) {
            QCOMPARE(e.number(), App::ErrorNumber::MailUserCancel);
        }
        answer = MailProfile{m_dir, QStringLiteral("bob")};
        system->SignOn(LogonOptions{true, false, false});
        QCOMPARE(asked, 2);
        QVERIFY(system->SessionID() != 0);
        QCOMPARE(system->currentUser().displayName, QStringLiteral("Bob"));
        QVERIFY(system->ForceDelivery());
        QCOMPARE(MailProfile::load(), answer); // remembered for the next start

        system->SignOn(LogonOptions{true, false, false}); // profile present: not asked
        QCOMPARE(asked, 2);
        system->SignOn(LogonOptions{true, false, true}); // new session: asked again
        QCOMPARE(asked, 3);

        qputenv("TELVORA_MAILBOX", "carl"); // the environment wins
        system->SignOn(LogonOptions{false, false, false});
        qunsetenv("TELVORA_MAILBOX");
        QCOMPARE(system->currentUser().mailbox, QStringLiteral("carl"));
        system->SignOff();
        QCOMPARE(system->SessionID(), 0);
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)system->fetch(PhoneClass));

        for (const MailProfile &bad :
             {MailProfile{m_dir, QStringLiteral("nobody")},
              MailProfile{m_env->path(), QStringLiteral("ann")},
              MailProfile{m_dir + QStringLiteral("/missing"), QStringLiteral("ann")}}) {
            bad.save();
            QVERIFY_THROWS_EXCEPTION(App::AppError,
                                     system->SignOn(LogonOptions{false, false, false}));
            QVERIFY(!system->isSignedOn());
        }
    }

    void commandLineTool_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        const QString po = QStringLiteral("PO");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("init without dir") << QStringList{"init"} << 2;
        QTest::newRow("init twice") << QStringList{"init", po} << 4;
        QTest::newRow("init non-empty dir") << QStringList{"init", "ENV"} << 1;
        QTest::newRow("init below a file") << QStringList{"init", "PO/.postoffice/x"} << 6;
        QTest::newRow("add existing mailbox") << QStringList{"add", po, "ann"} << 4;
        QTest::newRow("add existing display name")
            << QStringList{"add", po, "ann2", "front", "desk"} << 4;
        QTest::newRow("add escaping name") << QStringList{"add", po, "../evil"} << 5;
        QTest::newRow("add dot name") << QStringList{"add", po, ".hidden"} << 5;
        QTest::newRow("add slash name") << QStringList{"add", po, "a/b"} << 5;
        QTest::newRow("add long name") << QStringList{"add", po, QString(65, u'a')} << 5;
        QTest::newRow("add TAB display name") << QStringList{"add", po, "zed", "Z\tZ"} << 5;
        QTest::newRow("add to non-post-office") << QStringList{"add", "ENV", "zed"} << 3;
        QTest::newRow("list non-post-office") << QStringList{"list", "ENV"} << 3;
        QTest::newRow("use unknown mailbox") << QStringList{"use", po, "nobody"} << 7;
        QTest::newRow("send to unknown")
            << QStringList{"send", po, "desk", "Ann;Nobody", "PHONE: x\t1"} << 7;
        QTest::newRow("send missing subject") << QStringList{"send", po, "desk", "Ann"} << 2;
        QTest::newRow("add new mailbox") << QStringList{"add", po, "dora", "Dora", "Dunn"} << 0;
        QTest::newRow("send") << QStringList{"send", po, "desk", " Ann ; Bob ", "PHONE: x\t1"} << 0;
    }
    void commandLineTool()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        for (QString &arg : args) {
            arg.replace(QStringLiteral("PO"), m_dir);
            arg.replace(QStringLiteral("ENV"), m_env->path());
        }
        QByteArray err;
        QCOMPARE(runTool(args, &err, "note"), exitCode);
        QCOMPARE(err.isEmpty(), exitCode == 0);
        if (QTest::currentDataTag() == QByteArray("send")) {
            auto ann = signOn(QStringLiteral("ann"));
            const QList<MessageSummary> fetched = ann->fetch(PhoneClass);
            QCOMPARE(fetched.size(), 1);
            QCOMPARE(ann->noteText(fetched[0].id), QStringLiteral("note"));
            QCOMPARE(messageFiles(maildir(QStringLiteral("bob"))).size(), 1);
        }
        if (exitCode != 0)
            QVERIFY(messageFiles(maildir(QStringLiteral("ann"))).isEmpty());
    }

    void useCommandWritesTheProfile()
    {
        QCOMPARE(runTool({QStringLiteral("use"), m_dir, QStringLiteral("carl")}), 0);
        const std::optional<MailProfile> profile = MailProfile::load();
        QVERIFY(profile);
        QCOMPARE(profile->postOffice, m_dir);
        QCOMPARE(profile->mailbox, QStringLiteral("carl"));
        auto system = createDefaultMailSystem();
        system->SignOn(LogonOptions{true, false, false});
        QCOMPARE(system->currentUser().displayName, QStringLiteral("Carl"));
    }

    void concurrentSendersLoseNothing()
    {
        constexpr int Workers = 4;
        constexpr int PerWorker = 50;
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int w = 0; w < Workers; ++w) {
            auto process = std::make_unique<QProcess>();
            process->start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--deliver"), m_dir, QStringLiteral("w%1").arg(w),
                            QString::number(PerWorker)});
            workers.push_back(std::move(process));
        }
        for (auto &process : workers) {
            QVERIFY(process->waitForFinished(120000));
            QCOMPARE(process->exitCode(), 0);
        }
        for (const QString &mailbox : {QStringLiteral("ann"), QStringLiteral("bob")}) {
            auto system = signOn(mailbox);
            const QList<MessageSummary> fetched = system->fetch(PhoneClass);
            QSet<QString> ids;
            QSet<QString> subjects;
            for (const MessageSummary &m : fetched) {
                ids.insert(m.id);
                subjects.insert(m.subject);
            }
            QCOMPARE(fetched.size(), Workers * PerWorker);
            QCOMPARE(ids.size(), Workers * PerWorker);
            for (int w = 0; w < Workers; ++w) {
                for (int i = 0; i < PerWorker; ++i)
                    QVERIFY(subjects.contains(QStringLiteral("PHONE: w%1\t%2").arg(w).arg(i)));
            }
            QCOMPARE(messageFiles(maildir(mailbox)).size(), Workers * PerWorker);
            QVERIFY(QDir(maildir(mailbox) + QStringLiteral("/tmp")).isEmpty());
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--deliver") == 0)
        return deliverAsWorker(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                               atoi(argv[4]));
    PostOfficeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_postoffice.moc"
