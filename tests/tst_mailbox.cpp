// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonemessage.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "temppostoffice.h"

#include <QDir>
#include <QTest>

using namespace Telvora;

/// The look-ups the phone message records make through the user's fetched
/// phone messages, on a real post office.
class MailboxTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_mail;

    QString sendToSelf(const QString &caller)
    {
        Mail::MessageSet outgoing(*m_mail);
        outgoing.Compose();
        outgoing.setRecipIndex(0);
        outgoing.setRecipDisplayName(QStringLiteral("Ann Baker"));
        outgoing.setMsgSubject(Mail::BuildSubject(caller, QStringLiteral("555"), false));
        outgoing.setMsgNoteText(QStringLiteral("TELVORA\r\n\r\nNAME:\t\t") + caller);
        outgoing.setMsgType(Mail::PhoneMessageClass);
        outgoing.Send();
        return caller;
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}});
        m_mail = m_postOffice->signOn(QStringLiteral("ann"));
    }
    void cleanup()
    {
        m_mail.reset();
        m_postOffice.reset();
    }

    void recordsReadSaveAndDeleteThroughTheMailbox()
    {
        sendToSelf(QStringLiteral("First"));
        sendToSelf(QStringLiteral("Second"));
        Mail::MessageSet phoneMessages(*m_mail);
        Mail::MailboxOperations operations(phoneMessages);
        phoneMessages.setFetchMsgType(Mail::PhoneMessageClass);
        phoneMessages.Fetch();
        QCOMPARE(phoneMessages.MsgCount(), 2);

        App::Messages pending(operations);
        for (int index = 0; index < phoneMessages.MsgCount(); ++index) {
            phoneMessages.setMsgIndex(index);
            pending.Add(phoneMessages.MsgID(), phoneMessages.MsgSubject(),
                        phoneMessages.MsgDateReceived(), phoneMessages.MsgRead(),
                        phoneMessages.MsgOrigDisplayName(), phoneMessages.MsgOrigAddress());
        }
        App::Message &second = pending.Item(2);
        QCOMPARE(second.NoteText(), QStringLiteral("TELVORA\r\n\r\nNAME:\t\tSecond"));
        QCOMPARE(pending.UnreadCount(), 1);

        second.setSubject(QStringLiteral("PHONE: ! Second\t555"));
        second.setNoteText(QStringLiteral("changed\r\n"));
        QVERIFY(second.Update());

        QVERIFY(pending.Remove(1));
        QCOMPARE(pending.Count(), 1);

        phoneMessages.Fetch();
        QCOMPARE(phoneMessages.MsgCount(), 1);
        phoneMessages.setMsgIndex(0);
        QCOMPARE(phoneMessages.MsgID(), second.ID());
        QCOMPARE(phoneMessages.MsgSubject(), QStringLiteral("PHONE: ! Second\t555"));
        QVERIFY(phoneMessages.MsgRead());
        QCOMPARE(phoneMessages.MsgNoteText(), QStringLiteral("changed\r\n"));
    }

    void messagesGoneElsewhereAreReported()
    {
        sendToSelf(QStringLiteral("Gone"));
        Mail::MessageSet phoneMessages(*m_mail);
        Mail::MailboxOperations operations(phoneMessages);
        phoneMessages.setFetchMsgType(Mail::PhoneMessageClass);
        phoneMessages.Fetch();
        phoneMessages.setMsgIndex(0);
        const QString id = phoneMessages.MsgID();

        // Another copy of the program deletes the message after our fetch.
        Mail::MessageSet elsewhere(*m_mail);
        elsewhere.setFetchMsgType(Mail::PhoneMessageClass);
        elsewhere.Fetch();
        elsewhere.setMsgIndex(0);
        elsewhere.Delete();

        Test::ScriptedPrompt prompt;
        QCOMPARE(operations.GetNoteText(id), QString());
        QVERIFY(!operations.UpdateMailMessage(id, QStringLiteral("s"), QStringLiteral("t")));
        QVERIFY(!operations.DeleteMailMessage(id));
        QCOMPARE(prompt.shown.size(), 3);
        QCOMPARE(prompt.shown[0].title, QStringLiteral("GetNoteText Error"));
        QVERIFY(
            prompt.shown[0].text.startsWith(QStringLiteral("Error Getting Message Text\r\n\r\n")));
        QCOMPARE(prompt.shown[1].title, QStringLiteral("fMAPISaveMessage Error"));
        QVERIFY(prompt.shown[1].text.startsWith(
            QStringLiteral("There was an error saving this message\r\n\r\n")));
        QCOMPARE(prompt.shown[2].title, QStringLiteral("fMAPIDeleteMessage Error"));
        QCOMPARE(prompt.shown[2].icon, App::PromptIcon::Exclamation);

        // An identifier the fetched set does not hold.
        prompt.shown.clear();
        QVERIFY(!operations.DeleteMailMessage(QStringLiteral("unknown")));
        QVERIFY(prompt.shown.isEmpty());
        QVERIFY(!operations.UpdateMailMessage(QStringLiteral("unknown"), {}, {}));
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text,
                 QStringLiteral("Unable to Save Message\r\n\r\nMessage Not Found"));
    }
};

QTEST_GUILESS_MAIN(MailboxTest)
#include "tst_mailbox.moc"
