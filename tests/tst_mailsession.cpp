// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonemessage.h"
#include "mail/addressbook.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/mailsession.h"
#include "mail/messageset.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Telvora;

namespace {

/// The post office mail system, watched where the session code reaches it.
class WatchedMailSystem final : public Mail::PostOfficeMailSystem
{
public:
    void SignOn(const Mail::LogonOptions &options) override
    {
        lastOptions = options;
        PostOfficeMailSystem::SignOn(options);
    }
    bool ForceDelivery() override
    {
        ++forceDeliveryCalls;
        const QCursor *cursor = QGuiApplication::overrideCursor();
        cursorWhileDelivering = cursor ? cursor->shape() : Qt::ArrowCursor;
        return forceDeliveryWorks;
    }

    std::optional<Mail::LogonOptions> lastOptions;
    int forceDeliveryCalls = 0;
    bool forceDeliveryWorks = true;
    Qt::CursorShape cursorWhileDelivering = Qt::ArrowCursor;
};

/// Restores the address book to its dialog at the end of a test.
struct ChooserGuard
{
    explicit ChooserGuard(Mail::AddressBookChooser chooser)
        : previous(Mail::setAddressBookChooser(std::move(chooser)))
    {}
    ~ChooserGuard() { Mail::setAddressBookChooser(std::move(previous)); }
    Mail::AddressBookChooser previous;
};

} // namespace

/// Signing on and off, sending, saving and the address book, on a real post
/// office whose user is Ann; Bob and Carl are colleagues.
class MailSessionTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<WatchedMailSystem> m_mail;

    /// A signed-on mail system for another mailbox of the post office.
    std::unique_ptr<Mail::PostOfficeMailSystem> signOnAs(const char *mailbox)
    {
        return m_postOffice->signOn(QString::fromLatin1(mailbox));
    }

    /// The phone messages in a mailbox, read from a session of its own.
    QList<Mail::MessageSummary> inboxOf(const char *mailbox)
    {
        return signOnAs(mailbox)->fetch(Mail::PhoneMessageClass);
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(QList<Test::TempPostOffice::Mailbox>{
            {"ann", "Ann Baker"}, {"bob", "Bob Cole"}, {"carl", "Carl Dunn"}});
        m_mail = std::make_unique<WatchedMailSystem>();
    }
    void cleanup()
    {
        m_mail.reset();
        m_postOffice.reset();
    }

    void logonPassesTheSettingsAndReportsFailures_data()
    {
        QTest::addColumn<QByteArray>("mailbox");
        QTest::addColumn<bool>("newSession");
        QTest::addColumn<bool>("handlerCancels");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("box");

        QTest::newRow("signed on") << QByteArray("ann") << false << false << true << QString();
        QTest::newRow("new session, profile confirmed")
            << QByteArray("ann") << true << false << true << QString();
        // The logon dialog's Cancel ends the program without a word.
        QTest::newRow("logon cancelled") << QByteArray() << false << true << false << QString();
        QTest::newRow("new session cancelled")
            << QByteArray("ann") << true << true << false << QString();
        QTest::newRow("unknown mailbox")
            << QByteArray("zed") << false << false << false
            << QStringLiteral("Error Logging Into Mail.There is no mailbox \"zed\" in the post "
                              "office \"%1\".");
    }
    void logonPassesTheSettingsAndReportsFailures()
    {
        QFETCH(QByteArray, mailbox);
        QFETCH(bool, newSession);
        QFETCH(bool, handlerCancels);
        QFETCH(bool, result);
        QFETCH(QString, box);

        qputenv("TELVORA_MAILBOX", mailbox);
        Config::settings().setNewSession(newSession);
        Config::settings().setForceDelivery(true);
        int handlerCalls = 0;
        m_mail->setLogonHandler([&](const std::optional<Mail::MailProfile> &current) {
            ++handlerCalls;
            return handlerCancels ? std::nullopt : current;
        });

        Test::ScriptedPrompt prompt;
        QCOMPARE(Mail::MailLogon(*m_mail), result);
        QVERIFY(m_mail->lastOptions);
        QVERIFY(m_mail->lastOptions->logonUI);
        QVERIFY(m_mail->lastOptions->downloadMail);
        QCOMPARE(m_mail->lastOptions->newSession, newSession);
        QCOMPARE(handlerCalls, (newSession || mailbox.isEmpty()) ? 1 : 0);
        QCOMPARE(m_mail->isSignedOn(), result);

        if (box.isEmpty()) {
            QVERIFY(prompt.shown.isEmpty());
        } else {
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].text, box.arg(m_postOffice->directory()));
            QCOMPARE(prompt.shown[0].title, QStringLiteral("Mail Error"));
            QCOMPARE(prompt.shown[0].buttons, App::PromptButtons::Ok);
            QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
        }
        QVERIFY(Mail::MailLogoff(*m_mail));
        QVERIFY(!m_mail->isSignedOn());
    }

    void forceDeliveryKeepsTheCursor_data()
    {
        QTest::addColumn<bool>("setting");
        QTest::addColumn<bool>("deliveryWorks");
        QTest::newRow("setting off") << false << true;
        QTest::newRow("delivered") << true << true;
        QTest::newRow("delivery failed") << true << false;
    }
    void forceDeliveryKeepsTheCursor()
    {
        QFETCH(bool, setting);
        QFETCH(bool, deliveryWorks);
        Config::settings().setForceDelivery(setting);
        m_mail->forceDeliveryWorks = deliveryWorks;

        // Whatever cursor was in force before comes back.
        QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
        Test::ScriptedPrompt prompt;
        Mail::ForceMailDelivery(*m_mail);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        QVERIFY(!QGuiApplication::overrideCursor());

        QCOMPARE(m_mail->forceDeliveryCalls, setting ? 1 : 0);
        if (setting)
            QCOMPARE(m_mail->cursorWhileDelivering, Qt::WaitCursor);
        QVERIFY(prompt.shown.isEmpty());
    }

    void sendDeliversToEveryNamedRecipientOrToNobody_data()
    {
        QTest::addColumn<QString>("recipients");
        QTest::addColumn<QStringList>("resolved");
        QTest::addColumn<QString>("error");

        QTest::newRow("blanks around names")
            << QStringLiteral("Ann ; Bob;Carl ")
            << QStringList{QStringLiteral("Ann Baker"), QStringLiteral("Bob Cole"),
                           QStringLiteral("Carl Dunn")}
            << QString();
        QTest::newRow("trailing separator")
            << QStringLiteral("bob;") << QStringList{QStringLiteral("Bob Cole")} << QString();
        QTest::newRow("unknown name") << QStringLiteral("Bob;Zed") << QStringList()
                                      << QStringLiteral("Unknown recipient \"Zed\".");
        // The empty name between two separators reaches the mail system.
        QTest::newRow("empty name inside") << QStringLiteral("Bob;;Carl") << QStringList()
                                           << QStringLiteral("Unknown recipient \"\".");
        QTest::newRow("no recipient")
            << QString() << QStringList() << QStringLiteral("The message has no recipients.");
    }
    void sendDeliversToEveryNamedRecipientOrToNobody()
    {
        QFETCH(QString, recipients);
        QFETCH(QStringList, resolved);
        QFETCH(QString, error);
        m_mail->SignOn({});
        Mail::MessageSet messages(*m_mail);
        const QString subject =
            Mail::BuildSubject(QStringLiteral("Dan"), QStringLiteral("5"), true);
        const QString noteText = QStringLiteral("TELVORA\r\n\r\nNAME:\t\tDan\r\n[[0|00]]");

        Test::ScriptedPrompt prompt;
        const bool sent = Mail::SendPhoneMessage(messages, recipients, subject, noteText);
        QCOMPARE(sent, error.isEmpty());

        const QStringList everyone{QStringLiteral("Ann Baker"), QStringLiteral("Bob Cole"),
                                   QStringLiteral("Carl Dunn")};
        const char *const mailboxes[] = {"ann", "bob", "carl"};
        for (int index = 0; index < 3; ++index) {
            const QList<Mail::MessageSummary> inbox = inboxOf(mailboxes[index]);
            QCOMPARE(inbox.size(), resolved.contains(everyone[index]) ? 1 : 0);
            if (!inbox.isEmpty())
                QCOMPARE(inbox[0].subject, subject);
        }
        if (error.isEmpty()) {
            QVERIFY(prompt.shown.isEmpty());
            QCOMPARE(messages.RecipCount(), resolved.size());
            for (int index = 0; index < resolved.size(); ++index) {
                messages.setRecipIndex(index);
                QCOMPARE(messages.RecipDisplayName(), resolved[index]);
                QCOMPARE(messages.RecipType(), Mail::PrimaryRecipient);
            }
            QCOMPARE(messages.composeMsgType(), Mail::PhoneMessageClass);
            QCOMPARE(messages.composeNoteText(), noteText);
        } else {
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].text, QStringLiteral("Error Sending Message\r\n\r\n") + error);
            QCOMPARE(prompt.shown[0].title, QStringLiteral("MAPI Telvora"));
            QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
        }
    }

    void addRecipientsAppendsWithoutResolving()
    {
        m_mail->SignOn({});
        Mail::MessageSet messages(*m_mail);
        messages.Compose();
        Mail::AddRecipients(QStringLiteral("Bob"), messages, Mail::PrimaryRecipient, true);
        Mail::AddRecipients(QStringLiteral(" nobody yet ;"), messages, 2, false);
        Mail::AddRecipients(QString(), messages, 1, true);
        QCOMPARE(messages.RecipCount(), 2);
        messages.setRecipIndex(0);
        QCOMPARE(messages.RecipDisplayName(), QStringLiteral("Bob Cole"));
        messages.setRecipIndex(1);
        QCOMPARE(messages.RecipDisplayName(), QStringLiteral("nobody yet"));
        QCOMPARE(messages.RecipType(), 2);
    }

    void saveWritesSubjectAndKeepsTextWhenEmpty_data()
    {
        QTest::addColumn<bool>("textLoaded");
        QTest::addColumn<QString>("newText");
        QTest::newRow("new text") << true << QStringLiteral("new text\r\n[[0|00]]");
        QTest::newRow("empty text, held text kept") << true << QString();
        // A text never loaded is still what is stored, not an empty body.
        QTest::newRow("empty text, text not loaded") << false << QString();
    }
    void saveWritesSubjectAndKeepsTextWhenEmpty()
    {
        QFETCH(bool, textLoaded);
        QFETCH(QString, newText);
        m_mail->SignOn({});
        Mail::MessageSet messages(*m_mail);
        const QString oldText = QStringLiteral("old text\r\n[[3|10]]");
        QVERIFY(Mail::SendPhoneMessage(messages, QStringLiteral("Ann"),
                                       QStringLiteral("PHONE: Old\t1"), oldText));

        Mail::MailboxOperations operations(messages);
        App::Messages pending(operations);
        messages.setFetchMsgType(Mail::PhoneMessageClass);
        messages.Fetch();
        messages.setMsgIndex(0);
        App::Message &message = pending.Add(
            messages.MsgID(), messages.MsgSubject(), messages.MsgDateReceived(), messages.MsgRead(),
            messages.MsgOrigDisplayName(), messages.MsgOrigAddress());
        if (textLoaded)
            QCOMPARE(message.NoteText(), oldText);

        Test::ScriptedPrompt prompt;
        const QString newSubject = QStringLiteral("PHONE: ! New\t2");
        QVERIFY(Mail::SaveMessage(pending, message.ID(), newSubject, newText));
        QVERIFY(prompt.shown.isEmpty());
        const QString expected = newText.isEmpty() ? oldText : newText;
        QCOMPARE(message.Subject(), newSubject);
        QCOMPARE(message.NoteText(), expected);

        const QList<Mail::MessageSummary> stored = m_mail->fetch(Mail::PhoneMessageClass);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].subject, newSubject);
        QCOMPARE(m_mail->noteText(stored[0].id), expected);

        QVERIFY(!Mail::SaveMessage(pending, QStringLiteral("no such key"), newSubject, newText));
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.startsWith(QStringLiteral("Error Saving Message\r\n\r\n")));
        QCOMPARE(prompt.shown[0].title, QStringLiteral("MAPI Telvora"));
        QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
    }

    void addressBookChoiceBecomesTheNames()
    {
        m_mail->SignOn({});
        Mail::MessageSet messages(*m_mail);
        QList<Mail::AddressEntry> offered;
        QList<Mail::AddressEntry> answer;
        const ChooserGuard guard([&](const QList<Mail::AddressEntry> &list) {
            offered = list;
            return answer;
        });

        QStringList names{QStringLiteral("kept")};
        QVERIFY(!Mail::PickFromAddressBook(messages, names));
        QCOMPARE(names, QStringList{QStringLiteral("kept")});
        QCOMPARE(offered.size(), 3);

        answer = {offered[2], offered[1]};
        QVERIFY(Mail::PickFromAddressBook(messages, names));
        QCOMPARE(names, (QStringList{QStringLiteral("Carl Dunn"), QStringLiteral("Bob Cole")}));
        QCOMPARE(messages.RecipCount(), 2);

        // Without a session the mail system fails: nothing chosen, nothing shown.
        m_mail->SignOff();
        Test::ScriptedPrompt prompt;
        QVERIFY(!Mail::PickFromAddressBook(messages, names));
        QCOMPARE(names.size(), 2);
        QVERIFY(prompt.shown.isEmpty());
    }

    void addressBookDialogIsDrivenByTheUser_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("two names chosen") << true;
        QTest::newRow("escape") << false;
    }
    void addressBookDialogIsDrivenByTheUser()
    {
        QFETCH(bool, accept);
        m_mail->SignOn({});
        Mail::MessageSet messages(*m_mail);
        bool okEnabledBeforeChoice = true;
        QStringList listed;
        QTimer::singleShot(0, this, [&] {
            auto *dialog =
                qobject_cast<Mail::AddressBookDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QListWidget *list = dialog->ui().lstAddresses;
            for (int row = 0; row < list->count(); ++row)
                listed.append(list->item(row)->text());
            okEnabledBeforeChoice = dialog->ui().cmdOK->isEnabled();
            if (!accept) {
                QTest::keyClick(list, Qt::Key_Escape);
                return;
            }
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(0)).center());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(list->item(2)).center());
            QTest::mouseClick(dialog->ui().cmdOK, Qt::LeftButton);
        });

        QStringList names;
        QCOMPARE(Mail::PickFromAddressBook(messages, names), accept);
        QCOMPARE(listed, (QStringList{QStringLiteral("Ann Baker"), QStringLiteral("Bob Cole"),
                                      QStringLiteral("Carl Dunn")}));
        QVERIFY(!okEnabledBeforeChoice);
        if (accept)
            QCOMPARE(names,
                     (QStringList{QStringLiteral("Ann Baker"), QStringLiteral("Carl Dunn")}));
        else
            QVERIFY(names.isEmpty());
    }
};

QTEST_MAIN(MailSessionTest)
#include "tst_mailsession.moc"
