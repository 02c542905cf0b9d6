// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTest>

using namespace Telvora;

namespace {

/// One record of the log as the test reads it back, on its own connection.
QVariantMap readRecord(const QString &path, int id)
{
    std::unique_ptr<Data::Database> database = Data::OpenDatabase(path);
    std::unique_ptr<Data::Recordset> table =
        database->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
    table->Seek(QStringLiteral("="), id);
    QVariantMap record;
    if (table->NoMatch())
        return record;
    for (const Data::Field &field : table->tableDef().fields)
        record.insert(field.name, table->value(field.name));
    return record;
}

int recordCount(const QString &path)
{
    std::unique_ptr<Data::Database> database = Data::OpenDatabase(path);
    std::unique_ptr<Data::Recordset> table =
        database->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
    int count = 0;
    for (table->Seek(QStringLiteral(">="), 1); table->hasCurrentRecord();
         table->Seek(QStringLiteral(">"), table->value(QStringLiteral("ID"))))
        ++count;
    return count;
}

} // namespace

/// The message log on Ann's main window: a log file in a temporary directory,
/// the slip filled as a user would before sending.
class MessageLogTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_mail;
    std::unique_ptr<App::MainWindow> m_main;
    QString m_logPath;

    Ui::MainWindowLayout &ui() { return m_main->ui(); }

    void fillSlip(const QString &date, const QString &time, const QString &caller,
                  const QString &logId = {})
    {
        m_main->ClearMessage();
        ui().tbMsg[1]->setText(date);
        ui().tbMsg[2]->setText(time);
        ui().tbMsg[3]->setText(QStringLiteral("John Smith"));
        ui().tbMsg[4]->setText(caller);
        ui().tbMsg[5]->setText(QStringLiteral("Acme"));
        ui().tbMsg[6]->setText(QStringLiteral("555-0142"));
        ui().tbMsgNote->setPlainText(QStringLiteral("Re: invoice"));
        ui().laBy->setText(QStringLiteral("Ann Baker"));
        ui().tbMsg[1]->setProperty("tag", logId);
    }

    /// Logs a message with the given receipt request and state; returns its ID.
    long logMessage(const QString &date, const QString &time, const QString &caller,
                    bool receiptRequested = false, int state = 0)
    {
        fillSlip(date, time, caller);
        ui().chkReturnReceipt->setChecked(receiptRequested);
        ui().lblReceiptStatus->setProperty("tag", QString::number(state));
        return Data::LogMessage(*m_main);
    }

    QSqlQueryModel *listModel()
    {
        return qobject_cast<QSqlQueryModel *>(ui().dblstMessages->model());
    }

    QStringList listRows()
    {
        QStringList rows;
        QSqlQueryModel *model = listModel();
        for (int row = 0; model && row < model->rowCount(); ++row)
            rows << model->index(row, Data::LogListFieldsColumn).data().toString();
        return rows;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}, {"john", "John Smith"}});
        m_mail = m_postOffice->signOn(QStringLiteral("ann"));
        App::globals() = App::Globals{};
        m_logPath = m_postOffice->environment().filePath(QStringLiteral("msglog.mdb"));
        Config::settings().setMessageLog(m_logPath);
        Config::settings().setMessageLogEnabled(true);
        Test::ScriptedPrompt prompt;
        QVERIFY(Data::databases().CreateLogDatabase(m_logPath));
        m_main = std::make_unique<App::MainWindow>(*m_mail);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        m_main.reset();
        Data::databases().reset();
        m_mail.reset();
        m_postOffice.reset();
    }

    void updatesOrAdds_data()
    {
        QTest::addColumn<QString>("firstDate");
        QTest::addColumn<QString>("logId"); // "first" names the first record
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("caller");
        QTest::addColumn<bool>("updates");

        const QString date = QStringLiteral("5/14/97");
        const QString first = QStringLiteral("first");
        const QString ann = QStringLiteral("Ann Baker");
        QTest::newRow("no ID") << date << QString() << date << "2:05 PM" << ann << false;
        QTest::newRow("ID not in the log") << date << "999" << date << "2:05 PM" << ann << false;
        QTest::newRow("ID not a number") << date << "x1" << date << "2:05 PM" << ann << false;
        QTest::newRow("same date, time and caller")
            << date << first << date << "2:05 PM" << ann << true;
        QTest::newRow("same moment, 24-hour form") << date << first << "5/14/1997"
                                                   << "14:05" << ann << true;
        QTest::newRow("other time") << date << first << date << "2:06 PM" << ann << false;
        QTest::newRow("other caller") << date << first << date << "2:05 PM"
                                      << "Bob Cole" << false;
        QTest::newRow("caller in other letter case") << date << first << date << "2:05 PM"
                                                     << "ann baker" << false;
        QTest::newRow("slip without a valid date") << date << first << "someday"
                                                   << "2:05 PM" << ann << false;
        QTest::newRow("record without a date") << "someday" << first << date << "2:05 PM"
                                               << "Bob Cole" << true;
    }

    void updatesOrAdds()
    {
        QFETCH(QString, firstDate);
        QFETCH(QString, logId);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, caller);
        QFETCH(bool, updates);

        const long firstId =
            logMessage(firstDate, QStringLiteral("2:05 PM"), QStringLiteral("Ann Baker"));
        QVERIFY(firstId > 0);
        fillSlip(date, time, caller,
                 logId == QStringLiteral("first") ? QString::number(firstId) : logId);
        ui().tbMsgNote->setPlainText(QStringLiteral("second"));
        const long id = Data::LogMessage(*m_main);

        QCOMPARE(id == firstId, updates);
        QCOMPARE(recordCount(m_logPath), updates ? 1 : 2);
        QCOMPARE(readRecord(m_logPath, int(id)).value(QStringLiteral("Note")).toString(),
                 QStringLiteral("second"));
        if (!updates) {
            QCOMPARE(readRecord(m_logPath, int(firstId)).value(QStringLiteral("Note")).toString(),
                     QStringLiteral("Re: invoice"));
        }
    }

    void recordHoldsTheSlipCutToTheFields_data()
    {
        QTest::addColumn<QString>("stateTag");
        QTest::addColumn<int>("state");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("received, blanks around") << QStringLiteral(" 1 ") << 1;
        QTest::newRow("ignored") << QStringLiteral("2") << 2;
        QTest::newRow("above 2") << QStringLiteral("7") << 0;
        QTest::newRow("below 0") << QStringLiteral("-1") << 0;
        QTest::newRow("not a number") << QStringLiteral("x") << 0;
    }

    void recordHoldsTheSlipCutToTheFields()
    {
        QFETCH(QString, stateTag);
        QFETCH(int, state);

        fillSlip(QStringLiteral("5/14/97"), QStringLiteral("2:05 PM"), QString(60, u'C'));
        ui().tbMsg[3]->setText(QString(54, u'T') + QStringLiteral("\U0001F600x"));
        ui().tbMsg[6]->setText(QString(40, u'5'));
        ui().tbMsgNote->setPlainText(QStringLiteral("line one\n") + QString(300, u'n'));
        ui().laBy->setText(QString(40, u'B'));
        ui().chMsg[5]->setChecked(true);
        ui().chMsg[0]->setChecked(true);
        ui().chkReturnReceipt->setChecked(true);
        ui().lblReceiptStatus->setProperty("tag", stateTag);

        const long id = Data::LogMessage(*m_main);
        const QVariantMap record = readRecord(m_logPath, int(id));
        QCOMPARE(record.value(QStringLiteral("DateSent")).toDateTime(),
                 QDateTime(QDate(1997, 5, 14), QTime(14, 5)));
        QVERIFY(record.value(QStringLiteral("DateReceived")).isNull());
        QCOMPARE(record.value(QStringLiteral("To")).toString(),
                 QString(54, u'T') + QStringLiteral("\U0001F600"));
        QCOMPARE(record.value(QStringLiteral("Caller")).toString(), QString(55, u'C'));
        QCOMPARE(record.value(QStringLiteral("Company")).toString(), QStringLiteral("Acme"));
        QCOMPARE(record.value(QStringLiteral("Phone")).toString(), QString(35, u'5'));
        QCOMPARE(record.value(QStringLiteral("Note")).toString(),
                 (QStringLiteral("line one\r\n") + QString(300, u'n')).left(255));
        QCOMPARE(record.value(QStringLiteral("Action")).toString(), QStringLiteral("05"));
        QCOMPARE(record.value(QStringLiteral("Sender")).toString(), QString(35, u'B'));
        QCOMPARE(record.value(QStringLiteral("ReceiptRequested")).toInt(), 1);
        QCOMPARE(record.value(QStringLiteral("ReceiptAcknowledged")).toInt(), state);
    }

    void loggingOffWritesNothing()
    {
        Config::settings().setMessageLogEnabled(false);
        QCOMPARE(logMessage(QStringLiteral("5/14/97"), QStringLiteral("2:05 PM"),
                            QStringLiteral("Ann Baker")),
                 0L);
        QVERIFY(!Data::AcknowledgeReceipt(QStringLiteral("1")));
        QCOMPARE(recordCount(m_logPath), 0);
    }

    void failureIsThrownWhenSendingAndShownWhenOpening()
    {
        QVERIFY(logMessage(QStringLiteral("5/14/97"), QStringLiteral("2:05 PM"),
                           QStringLiteral("Ann Baker")) > 0);
        // Another program holds the file for writing longer than the log waits.
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_logPath);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));

        fillSlip(QStringLiteral("5/15/97"), QStringLiteral("9:00 AM"), QStringLiteral("Bob"));
        QVERIFY_THROWS_EXCEPTION(App::AppError, (void)Data::LogMessage(*m_main));
        Test::ScriptedPrompt prompt;
        QCOMPARE(Data::LogMessage(*m_main, Data::LogOccasion::Opening), 0L);
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(
            prompt.shown[0].text.startsWith(QStringLiteral("Error Writing Message Log\r\n\r\n")));
        QCOMPARE(prompt.shown[0].title, QStringLiteral("Database Error"));

        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        lock = QSqlQuery();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        // Nothing was half written, and the table works again.
        QCOMPARE(recordCount(m_logPath), 1);
        QVERIFY(Data::LogMessage(*m_main) > 0);
        QCOMPARE(recordCount(m_logPath), 2);
    }

    void logViewListsNewestFirstAndShowsThePickedRecord()
    {
        const long midnight = logMessage(QStringLiteral("5/13/97"), QString(),
                                         QStringLiteral("Early Caller"), true, 1);
        const long latest = logMessage(QStringLiteral("5/14/97"), QStringLiteral("2:05 PM"),
                                       QStringLiteral("Ann Baker"), true, 2);
        (void)logMessage(QStringLiteral("5/14/97"), QStringLiteral("9:00 AM"),
                         QStringLiteral("Bob Cole"));

        Data::ShowMessageLog(*m_main);
        QVERIFY(Data::databases().LogListBound);
        const QString gap(5, u' ');
        QCOMPARE(listRows(), QStringList({QStringLiteral("5/14/97 2:05:00 PM") + gap +
                                              "John Smith" + gap + "Ann Baker" + gap + "555-0142",
                                          QStringLiteral("5/14/97 9:00:00 AM") + gap +
                                              "John Smith" + gap + "Bob Cole" + gap + "555-0142",
                                          QStringLiteral("5/13/97") + gap + "John Smith" + gap +
                                              "Early Caller" + gap + "555-0142"}));

        ui().dblstMessages->setCurrentIndex(listModel()->index(0, Data::LogListFieldsColumn));
        Data::ShowLoggedMessage(*m_main);
        QCOMPARE(ui().tbMsg[1]->property("tag").toString(), QString::number(latest));
        QCOMPARE(ui().tbMsg[1]->text(), QStringLiteral("5/14/97"));
        QCOMPARE(ui().tbMsg[2]->text(), QStringLiteral("2:05:00 PM"));
        QCOMPARE(ui().tbMsg[4]->text(), QStringLiteral("Ann Baker"));
        QCOMPARE(ui().tbMsgNote->toPlainText(), QStringLiteral("Re: invoice"));
        QCOMPARE(ui().laBy->text(), QStringLiteral("Ann Baker"));
        QVERIFY(ui().chkReturnReceipt->isChecked());
        QCOMPARE(ui().lblReceiptStatus->text(), QStringLiteral("(Ignore)"));
        QCOMPARE(ui().lblReceiptStatus->property("tag").toString(), QStringLiteral("2"));

        // Shown and logged again unchanged, the record is updated in place.
        QCOMPARE(Data::LogMessage(*m_main), latest);

        ui().dblstMessages->setCurrentIndex(listModel()->index(2, Data::LogListFieldsColumn));
        Data::ShowLoggedMessage(*m_main);
        QCOMPARE(ui().tbMsg[1]->property("tag").toString(), QString::number(midnight));
        QCOMPARE(ui().tbMsg[2]->text(), QString());
        QCOMPARE(ui().lblReceiptStatus->text(), QStringLiteral("(Received)"));

        Data::UnbindLogList(*m_main);
        QVERIFY(!Data::databases().LogListBound);
        QCOMPARE(listModel()->rowCount(), 0);
        // Bound again, it reads the file afresh.
        Data::ShowReceiptList(*m_main);
        QCOMPARE(listRows().size(), 0);
        Data::ShowMessageLog(*m_main);
        QCOMPARE(listRows().size(), 3);
    }

    void receiptViewListsWhatWaitsAndIgnoreTakesItOff()
    {
        const long older = logMessage(QStringLiteral("5/13/97"), QStringLiteral("8:00 AM"),
                                      QStringLiteral("Waiting Older"), true, 0);
        (void)logMessage(QStringLiteral("5/14/97"), QStringLiteral("8:00 AM"),
                         QStringLiteral("Received"), true, 1);
        (void)logMessage(QStringLiteral("5/14/97"), QStringLiteral("8:00 AM"),
                         QStringLiteral("Ignored"), true, 2);
        (void)logMessage(QStringLiteral("5/14/97"), QStringLiteral("8:00 AM"),
                         QStringLiteral("Not Requested"), false, 0);
        const long newer = logMessage(QStringLiteral("5/15/97"), QStringLiteral("8:00 AM"),
                                      QStringLiteral("Waiting Newer"), true, 0);

        ui().tabMessages->setCurrentIndex(1); // "Receipt Requested"
        Data::ShowReceiptList(*m_main);
        QCOMPARE(listRows().size(), 2);
        QVERIFY(listRows().at(0).contains(QStringLiteral("Waiting Newer")));
        QVERIFY(listRows().at(1).contains(QStringLiteral("Waiting Older")));

        ui().dblstMessages->setCurrentIndex(listModel()->index(0, Data::LogListFieldsColumn));
        Data::ShowLoggedMessage(*m_main);
        QCOMPARE(ui().tbMsg[1]->property("tag").toString(), QString::number(newer));
        QVERIFY(!ui().cmdIgnore->isHidden());
        QVERIFY(ui().lblReceiptStatus->isHidden());
        QCOMPARE(ui().lblReceiptStatus->property("tag").toString(), QStringLiteral("0"));

        Test::ScriptedPrompt prompt;
        Data::IgnoreMessage(*m_main);
        QCOMPARE(prompt.shown.size(), 0);
        QCOMPARE(readRecord(m_logPath, int(newer)).value("ReceiptAcknowledged").toInt(), 2);
        QCOMPARE(ui().tbMsg[4]->text(), QString());
        QCOMPARE(listRows().size(), 1);
        QVERIFY(listRows().at(0).contains(QStringLiteral("Waiting Older")));

        // Ignore without a usable ID on display changes nothing.
        ui().tbMsg[1]->setProperty("tag", QStringLiteral("abc"));
        Data::IgnoreMessage(*m_main);
        ui().tbMsg[1]->setProperty("tag", QStringLiteral("999"));
        Data::IgnoreMessage(*m_main);
        QCOMPARE(prompt.shown.size(), 2);
        QCOMPARE(prompt.shown[0].text, QStringLiteral("Invalid Message ID.  Cannot update record"));
        QCOMPARE(prompt.shown[1].text,
                 QStringLiteral("Database Error Finding Message.  Cannot update record"));
        QCOMPARE(prompt.shown[1].title, QStringLiteral("IgnoreMessage Error"));
        QCOMPARE(readRecord(m_logPath, int(older)).value("ReceiptAcknowledged").toInt(), 0);
    }

    void missingLogFileIsOfferedWhenBinding()
    {
        Config::settings().setMessageLog(m_postOffice->environment().filePath("new.mdb"));
        Test::ScriptedPrompt prompt;
        prompt.answer(App::PromptAnswer::No);
        Data::ShowMessageLog(*m_main);
        QVERIFY(!Data::databases().LogListBound);
        QVERIFY(!QFile::exists(Config::settings().MessageLog()));
        QCOMPARE(prompt.shown.at(0).text,
                 QStringLiteral(
                     "The Log Database Could Not Be Found.  Should A New Database Be Created?"));
        QCOMPARE(prompt.shown.at(0).title, QStringLiteral("Data Access Error"));

        prompt.answer(App::PromptAnswer::Yes);
        Data::ShowMessageLog(*m_main);
        QVERIFY(Data::databases().LogListBound);
        QVERIFY(QFile::exists(Config::settings().MessageLog()));
        QCOMPARE(prompt.shown.size(), 2);

        // A file that is no log at all is reported and leaves the list unbound.
        QFile junk(m_postOffice->environment().filePath("junk.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a database");
        junk.close();
        Config::settings().setMessageLog(junk.fileName());
        Data::RefreshLogList(*m_main);
        QVERIFY(!Data::databases().LogListBound);
        QVERIFY(prompt.shown.constLast().text.startsWith(
            QStringLiteral("Error Opening Message Log Database\r\n\r\n")));
        QCOMPARE(junk.size(), qint64(14));
    }

    void listReadsALargeLogAsItScrolls()
    {
        {
            std::unique_ptr<Data::Database> database = Data::OpenDatabase(m_logPath);
            std::unique_ptr<Data::Recordset> table = database->OpenRecordset("Messages");
            for (int n = 0; n < 2000; ++n) {
                table->AddNew();
                table->setValue("DateSent", QDateTime(QDate(2024, 1, 1), QTime(0, 0)).addSecs(n));
                table->setValue("Caller", QStringLiteral("Caller %1").arg(n));
                table->Update();
            }
        }
        Data::ShowMessageLog(*m_main);
        QSqlQueryModel *model = listModel();
        QVERIFY(model->rowCount() < 2000);
        QVERIFY(model->canFetchMore());
        QVERIFY(listRows().at(0).contains(QStringLiteral("Caller 1999")));
        while (model->canFetchMore())
            model->fetchMore();
        QCOMPARE(model->rowCount(), 2000);
    }

    void twoConnectionsShareTheLogWithoutLosingRecords()
    {
        // Another user's program writes the same file while this one logs,
        // acknowledges and shows the list.
        std::unique_ptr<Data::Database> otherUser = Data::OpenDatabase(m_logPath);
        std::unique_ptr<Data::Recordset> otherTable =
            otherUser->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        Data::ShowMessageLog(*m_main);
        QSet<long> ids;
        for (int n = 0; n < 40; ++n) {
            const long id = logMessage(QStringLiteral("5/14/97"), QStringLiteral("2:05 PM"),
                                       QStringLiteral("Mine %1").arg(n), true);
            ids.insert(id);
            otherTable->AddNew();
            otherTable->setValue(QStringLiteral("Caller"), QStringLiteral("Theirs %1").arg(n));
            otherTable->setValue(QStringLiteral("ReceiptRequested"), 1);
            otherTable->setValue(QStringLiteral("ReceiptAcknowledged"), 0);
            otherTable->Update();
            otherTable->setBookmark(otherTable->LastModified());
            const long theirs = otherTable->value(QStringLiteral("ID")).toInt();
            ids.insert(theirs);
            QVERIFY(Data::AcknowledgeReceipt(QString::number(theirs)));
        }
        QCOMPARE(ids.size(), 80);
        QCOMPARE(recordCount(m_logPath), 80);
        Data::ShowReceiptList(*m_main);
        QCOMPARE(listRows().size(), 40);
        for (const QString &row : listRows())
            QVERIFY(row.contains(QStringLiteral("Mine")));
    }
};

QTEST_MAIN(MessageLogTest)
#include "tst_messagelog.moc"
