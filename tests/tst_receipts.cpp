// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "app/slip.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/receipts.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>

using namespace Telvora;

/// Return receipts between Ann (who sends and logs, on her main window) and
/// Bob (who reads and answers), two mailboxes of one post office.
class ReceiptsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_ann;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_bob;
    std::unique_ptr<App::MainWindow> m_main;
    QString m_logPath;

    Ui::MainWindowLayout &ui() { return m_main->ui(); }

    /// Ann logs a slip for Bob, receipt requested, and sends it; returns the ID.
    long sendToBob(const QString &caller)
    {
        m_main->ClearMessage();
        ui().tbMsg[1]->setText(QStringLiteral("5/14/97"));
        ui().tbMsg[2]->setText(QStringLiteral("2:05 PM"));
        ui().tbMsg[3]->setText(QStringLiteral("Bob Cole"));
        ui().tbMsg[4]->setText(caller);
        ui().chkReturnReceipt->setChecked(true);
        const long id = Data::LogMessage(*m_main);
        const App::Slip slip(ui());
        const QString noteText =
            slip.noteText(QString::number(id), Mail::ReceiptFlags(true, QStringLiteral("0")));
        if (!Mail::SendPhoneMessage(m_main->phoneMessages(), QStringLiteral("Bob Cole"),
                                    slip.subject(), noteText)) {
            qFatal("sending failed");
        }
        return id;
    }

    int receiptAcknowledged(long id)
    {
        std::unique_ptr<Data::Database> database = Data::OpenDatabase(m_logPath);
        std::unique_ptr<Data::Recordset> table =
            database->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        table->Seek(QStringLiteral("="), int(id));
        return table->NoMatch() ? -1 : table->value(QStringLiteral("ReceiptAcknowledged")).toInt();
    }

    QStringList receiptSubjects(Mail::MailSystem &mail)
    {
        QStringList subjects;
        for (const Mail::MessageSummary &message : mail.fetch(Mail::ReceiptMessageClass))
            subjects << message.subject;
        return subjects;
    }

    /// Bob answers with a receipt of the given subject.
    void receiptFromBob(const QString &subject)
    {
        Mail::MessageSet receipts(*m_bob);
        QVERIFY(Mail::SendReturnReceipt(receipts, subject, QStringLiteral("Ann Baker")));
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}, {"bob", "Bob Cole"}});
        m_ann = m_postOffice->signOn(QStringLiteral("ann"));
        m_bob = m_postOffice->signOn(QStringLiteral("bob"));
        App::globals() = App::Globals{};
        m_logPath = m_postOffice->environment().filePath(QStringLiteral("msglog.mdb"));
        Config::settings().setMessageLog(m_logPath);
        Config::settings().setMessageLogEnabled(true);
        Test::ScriptedPrompt prompt;
        QVERIFY(Data::databases().CreateLogDatabase(m_logPath));
        m_main = std::make_unique<App::MainWindow>(*m_ann);
    }

    void cleanup()
    {
        m_main.reset();
        Data::databases().reset();
        m_bob.reset();
        m_ann.reset();
        m_postOffice.reset();
    }

    void receiptCycleBetweenTwoUsers()
    {
        const long id = sendToBob(QStringLiteral("Pat Caller"));
        QVERIFY(id > 0);

        // Bob opens the message: it asks for a receipt, which goes to the
        // sender's display name with the log ID as subject and no text.
        const QList<Mail::MessageSummary> inbox = m_bob->fetch(Mail::PhoneMessageClass);
        QCOMPARE(inbox.size(), 1);
        const Mail::NoteTextFields fields = Mail::ReadNoteText(m_bob->noteText(inbox[0].id));
        QVERIFY(fields.receiptRequested());
        Mail::MessageSet bobReceipts(*m_bob);
        QVERIFY(Mail::SendReturnReceipt(bobReceipts, fields.logId, inbox[0].originatorName));

        const QList<Mail::MessageSummary> arrived = m_ann->fetch(Mail::ReceiptMessageClass);
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(arrived[0].subject, QString::number(id));
        QCOMPARE(arrived[0].originatorName, QStringLiteral("Bob Cole"));
        QCOMPARE(m_ann->noteText(arrived[0].id), QString());
        QCOMPARE(m_ann->fetch(Mail::PhoneMessageClass).size(), 0);

        // Ann's next pass acknowledges it in her log and deletes the receipt.
        QCOMPARE(receiptAcknowledged(id), 0);
        Test::ScriptedPrompt prompt;
        Mail::CheckReturnReceipts(*m_main);
        QCOMPARE(prompt.shown.size(), 0);
        QCOMPARE(receiptAcknowledged(id), 1);
        QCOMPARE(receiptSubjects(*m_ann), QStringList());

        // It has left the receipt view.
        Data::ShowReceiptList(*m_main);
        QCOMPARE(ui().dblstMessages->model()->rowCount(), 0);
    }

    void acknowledgement_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("acknowledgesTheRecord");
        QTest::newRow("the log ID") << QStringLiteral("%1") << true;
        QTest::newRow("the log ID with blanks") << QStringLiteral(" %1 ") << true;
        QTest::newRow("0, sent while logging was off") << QStringLiteral("0") << false;
        QTest::newRow("negative") << QStringLiteral("-%1") << false;
        QTest::newRow("not a number") << QStringLiteral("%1x") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("not in the log") << QStringLiteral("9%1") << false;
        QTest::newRow("beyond any record number") << QStringLiteral("99999999999") << false;
    }

    void acknowledgement()
    {
        QFETCH(QString, subject);
        QFETCH(bool, acknowledgesTheRecord);
        const long id = sendToBob(QStringLiteral("Pat Caller"));
        const QString text = subject.contains(QStringLiteral("%1")) ? subject.arg(id) : subject;

        // Every usable or unusable subject is dealt with, so the mail goes.
        QVERIFY(Data::AcknowledgeReceipt(text));
        QCOMPARE(receiptAcknowledged(id), acknowledgesTheRecord ? 1 : 0);

        receiptFromBob(text);
        Test::ScriptedPrompt prompt;
        Mail::CheckReturnReceipts(*m_main);
        QCOMPARE(receiptSubjects(*m_ann), QStringList());
        QCOMPARE(prompt.shown.size(), 0);
    }

    void everyReceiptIsVisitedAndDeleted()
    {
        const long first = sendToBob(QStringLiteral("First"));
        const long second = sendToBob(QStringLiteral("Second"));
        const long third = sendToBob(QStringLiteral("Third"));
        receiptFromBob(QString::number(first));
        receiptFromBob(QStringLiteral("0"));
        receiptFromBob(QString::number(third));

        Mail::CheckReturnReceipts(*m_main);
        QCOMPARE(receiptAcknowledged(first), 1);
        QCOMPARE(receiptAcknowledged(second), 0);
        QCOMPARE(receiptAcknowledged(third), 1);
        QCOMPARE(receiptSubjects(*m_ann), QStringList());
    }

    void receiptsWaitWhileTheLogCannotTakeThem()
    {
        const long id = sendToBob(QStringLiteral("Pat Caller"));
        receiptFromBob(QString::number(id));
        receiptFromBob(QString::number(id));

        Test::ScriptedPrompt prompt;
        Config::settings().setMessageLogEnabled(false);
        Mail::CheckReturnReceipts(*m_main);
        QCOMPARE(receiptSubjects(*m_ann).size(), 2);

        // A log file gone missing is offered for creation once per pass, not
        // once per receipt; declined, the receipts stay.
        Config::settings().setMessageLogEnabled(true);
        Data::databases().CloseLogDatabase();
        QVERIFY(QFile::remove(m_logPath));
        Mail::CheckReturnReceipts(*m_main);
        QCOMPARE(receiptSubjects(*m_ann).size(), 2);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].buttons, App::PromptButtons::YesNo);
    }

    void unresolvableSenderIsReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << QStringLiteral("Nobody Here");
        QTest::newRow("empty") << QString();
        QTest::newRow("two names") << QStringLiteral("Ann Baker; Bob Cole");
    }

    void unresolvableSenderIsReported()
    {
        QFETCH(QString, name);
        Test::ScriptedPrompt prompt;
        QVERIFY(!Mail::SendReturnReceipt(*m_main, QStringLiteral("15"), name));
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.startsWith(
            QStringLiteral("Error Sending Return Receipt Message\r\n\r\n")));
        QCOMPARE(prompt.shown[0].title, App::AppTitle);
        QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
        QCOMPARE(receiptSubjects(*m_ann), QStringList());
        QCOMPARE(receiptSubjects(*m_bob), QStringList());
    }
};

QTEST_MAIN(ReceiptsTest)
#include "tst_receipts.moc"
