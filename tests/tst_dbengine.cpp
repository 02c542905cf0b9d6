// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/databases.h"
#include "data/dbengine.h"
#include "data/recordset.h"
#include "tempenvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTest>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

using namespace Telvora;
using namespace Telvora::Data;

namespace {

const QString HelperSwitch = QStringLiteral("--dbengine-helper");
const QString Shell = QStringLiteral("/usr/bin/sqlite3");

// The two tables the program keeps, as its database module defines them.
const TableDef &messagesTable()
{
    return DatabaseModule::messagesTableDef();
}

const TableDef &callerTable()
{
    return DatabaseModule::callerTableDef();
}

/// The AppError that work throws, if any.
std::optional<App::AppError> failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const App::AppError &error) {
        return error;
    }
    return std::nullopt;
}

long errorNumberOf(const std::function<void()> &work)
{
    const auto failure = failureOf(work);
    return failure ? failure->number() : 0;
}

struct ShellResult
{
    int exitCode = -1;
    QString output;
};

ShellResult runShell(const QString &file, const QString &sql)
{
    QProcess shell;
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start(Shell, {QStringLiteral("-batch"), file, sql});
    if (!shell.waitForFinished(60000))
        return {};
    return {shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1,
            QString::fromUtf8(shell.readAll()).trimmed()};
}

/// Starts this test program as a helper that works on the database in another process.
void startHelper(QProcess &helper, const QStringList &arguments)
{
    helper.setProcessChannelMode(QProcess::MergedChannels);
    helper.start(QCoreApplication::applicationFilePath(), QStringList{HelperSwitch} + arguments);
}

QString finishHelper(QProcess &helper)
{
    if (!helper.waitForFinished(60000)) {
        helper.kill();
        helper.waitForFinished();
        return QStringLiteral("hung");
    }
    return QString::fromUtf8(helper.readAll()).trimmed();
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void addCaller(Recordset &callers, const QString &name, const QString &company = {})
{
    callers.AddNew();
    callers.setValue(QStringLiteral("Name"), name);
    callers.setValue(QStringLiteral("Company"), company);
    callers.Update();
}

qint64 addMessage(Recordset &messages, const QString &caller, const QDateTime &sent = {})
{
    messages.AddNew();
    messages.setValue(QStringLiteral("Caller"), caller);
    if (sent.isValid())
        messages.setValue(QStringLiteral("DateSent"), sent);
    messages.Update();
    return messages.LastModified();
}

// The work of the helper process: prints one line and returns its exit code.
int runHelper(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    const QString path = arguments.value(1);
    try {
        if (command == QLatin1String("open")) {
            const auto db = OpenDatabase(path, arguments.value(2) == QLatin1String("exclusive")
                                                   ? OpenMode::Exclusive
                                                   : OpenMode::Shared);
            std::cout << "opened" << std::endl;
        } else if (command == QLatin1String("hold")) {
            const auto db = OpenDatabase(path, OpenMode::Exclusive);
            std::cout << "ready" << std::endl;
            std::string line;
            std::getline(std::cin, line); // until the test closes our input
        } else if (command == QLatin1String("add")) {
            const auto db = OpenDatabase(path, OpenMode::Shared);
            const auto messages = db->OpenRecordset(QStringLiteral("Messages"));
            std::cout << "added " << addMessage(*messages, arguments.value(2)) << std::endl;
        } else {
            return 2;
        }
    } catch (const App::AppError &error) {
        std::cout << "error " << error.number() << ' ' << error.what() << std::endl;
        return 1;
    }
    return 0;
}

} // namespace

class DbEngineTest : public QObject
{
    Q_OBJECT

private:
    Test::TempEnvironment m_env;
    int m_files = 0;

    QString newPath(const QString &stem = QStringLiteral("test"))
    {
        return m_env.filePath(QStringLiteral("%1-%2.db").arg(stem).arg(++m_files));
    }

    QString newDatabase(const QList<TableDef> &tables = {messagesTable(), callerTable()})
    {
        const QString path = newPath();
        CreateDatabase(path, tables);
        return path;
    }

private slots:
    void engineIsUsable() { QCOMPARE(verifyEngine(), QString()); }

    void createsTheFilesAndReadsTheirSchemaBack()
    {
        // A folder name with a blank, a hash and an umlaut must survive the file URI.
        const QString folder = m_env.filePath(QStringLiteral("Ablage #1 ü"));
        QVERIFY(QDir().mkpath(folder));
        const QString logPath = folder + QStringLiteral("/msglog.db");
        const QString callerPath = newPath(QStringLiteral("caller"));
        CreateDatabase(logPath, {messagesTable()});
        CreateDatabase(callerPath, {callerTable()});

        const auto log = OpenDatabase(logPath);
        QCOMPARE(log->TableDefs(), QList<TableDef>{messagesTable()});
        QCOMPARE(log->TableDefs().first().fields.size(), 12);
        QCOMPARE(log->TableDefs().first().indexes.size(), 4);
        const auto callers = OpenDatabase(callerPath, OpenMode::Exclusive);
        QCOMPARE(callers->TableDefs(), QList<TableDef>{callerTable()});

        // Never overwritten, even by a valid definition.
        const QByteArray before = fileContents(callerPath);
        QCOMPARE(errorNumberOf([&] { CreateDatabase(callerPath, {messagesTable()}); }),
                 EngineError::DatabaseExists);
        QCOMPARE(fileContents(callerPath), before);

        // A definition the engine cannot keep leaves no file behind.
        TableDef broken = callerTable();
        broken.fields[1].size = 300;
        const QString brokenPath = newPath();
        QCOMPARE(errorNumberOf([&] { CreateDatabase(brokenPath, {broken}); }),
                 EngineError::InvalidDefinition);
        QVERIFY(!QFile::exists(brokenPath));
    }

    void stockShellReadsTheFileAndObeysItsRules_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("accepted");
        const QString longName(51, QLatin1Char('a'));
        QTest::newRow("query") << "SELECT count(*) FROM Messages; PRAGMA integrity_check;" << true;
        QTest::newRow("valid caller")
            << "INSERT INTO Caller (Name, Name_nocase, Company) VALUES ('Ann', 'ann', '');" << true;
        QTest::newRow("name too long") << QStringLiteral("INSERT INTO Caller (Name, Name_nocase) "
                                                         "VALUES ('%1', '%1');")
                                              .arg(longName)
                                       << false;
        QTest::newRow("zero-length name")
            << "INSERT INTO Caller (Name, Name_nocase) VALUES ('', '');" << false;
        QTest::newRow("key missing") << "INSERT INTO Caller (Name) VALUES ('Ann');" << false;
        QTest::newRow("key not folded")
            << "INSERT INTO Caller (Name, Name_nocase) VALUES ('Ann', 'Ann');" << false;
        QTest::newRow("same name in other case")
            << "INSERT INTO Caller (Name, Name_nocase) VALUES ('Ann', 'ann');"
               "INSERT INTO Caller (Name, Name_nocase) VALUES ('ANN', 'ann');"
            << false;
        QTest::newRow("byte out of range")
            << "INSERT INTO Messages (ReceiptRequested) VALUES (256);" << false;
        QTest::newRow("day that does not exist")
            << "INSERT INTO Messages (DateSent) VALUES ('2024-02-30 10:00:00');" << false;
        QTest::newRow("leap day")
            << "INSERT INTO Messages (DateSent) VALUES ('2024-02-29 10:00:00');" << true;
    }

    void stockShellReadsTheFileAndObeysItsRules()
    {
        QFETCH(QString, sql);
        QFETCH(bool, accepted);
        const QString path = newDatabase();
        const ShellResult result = runShell(path, sql);
        QVERIFY2((result.exitCode == 0) == accepted, qPrintable(result.output));
        if (!accepted)
            QVERIFY2(result.output.contains(QStringLiteral("constraint failed")),
                     qPrintable(result.output));
        QVERIFY(!runShell(path, QStringLiteral(".schema"))
                     .output.contains(QStringLiteral("COLLATE"), Qt::CaseInsensitive));
    }

    void uniqueIndexIgnoresLetterCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("added");
        QTest::addColumn<bool>("collides");
        QTest::newRow("Smith/SMITH") << "Smith"
                                     << "SMITH" << true;
        QTest::newRow("Ünal/ünal") << "Ünal"
                                   << "ünal" << true;
        QTest::newRow("Émile/ÉMILE") << "Émile"
                                     << "ÉMILE" << true;
        QTest::newRow("Smith/Smithers") << "Smith"
                                        << "Smithers" << false;
        QTest::newRow("Ünal/Unal") << "Ünal"
                                   << "Unal" << false;
    }

    void uniqueIndexIgnoresLetterCase()
    {
        QFETCH(QString, stored);
        QFETCH(QString, added);
        QFETCH(bool, collides);
        const auto db = OpenDatabase(newDatabase());
        const auto callers =
            db->OpenRecordset(QStringLiteral("Caller"), QStringLiteral("PrimaryKey"));
        addCaller(*callers, stored, QStringLiteral("First"));

        const auto failure =
            failureOf([&] { addCaller(*callers, added, QStringLiteral("Second")); });
        QCOMPARE(failure.has_value(), collides);
        if (collides) {
            QCOMPARE(failure->number(), EngineError::DuplicateKey);
            QCOMPARE(callers->editMode(), Recordset::EditMode::AddNew); // the buffer is kept
            callers->CancelUpdate();
        }
        callers->Seek(QStringLiteral("="), added);
        QVERIFY(!callers->NoMatch());
        QCOMPARE(callers->value(QStringLiteral("Name")).toString(), collides ? stored : added);
    }

    void fieldRulesGiveTheEngineErrors_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<long>("error");
        QTest::addColumn<QString>("text");
        const QString tooSmall = QStringLiteral(
            "The field is too small to accept the amount of data you attempted to add. Try "
            "inserting or pasting less data.");
        QTest::newRow("name of 51") << "Caller"
                                    << "Name" << QVariant(QString(51, QLatin1Char('x')))
                                    << EngineError::FieldTooSmall << tooSmall;
        QTest::newRow("name of 50")
            << "Caller"
            << "Name" << QVariant(QString(50, QLatin1Char('x'))) << 0L << QString();
        QTest::newRow("empty name")
            << "Caller"
            << "Name" << QVariant(QString("")) << EngineError::ZeroLengthString
            << "Field 'Caller.Name' cannot be a zero-length string.";
        QTest::newRow("empty company") << "Caller"
                                       << "Company" << QVariant(QString("")) << 0L << QString();
        QTest::newRow("note of 256") << "Messages"
                                     << "Note" << QVariant(QString(256, QChar(0x00fc)))
                                     << EngineError::FieldTooSmall << tooSmall;
        QTest::newRow("byte 256") << "Messages"
                                  << "ReceiptRequested" << QVariant(256)
                                  << App::ErrorNumber::Overflow << "Overflow";
        QTest::newRow("byte -1") << "Messages"
                                 << "ReceiptRequested" << QVariant(-1) << App::ErrorNumber::Overflow
                                 << "Overflow";
        QTest::newRow("byte from text")
            << "Messages"
            << "ReceiptAcknowledged" << QVariant("two") << EngineError::ConversionError
            << "Data type conversion error.";
        QTest::newRow("30 February")
            << "Messages"
            << "DateSent" << QVariant("2024-02-30 10:00") << EngineError::ConversionError
            << "Data type conversion error.";
        QTest::newRow("auto-increment")
            << "Messages"
            << "ID" << QVariant(7) << EngineError::FieldNotUpdatable << "Field cannot be updated.";
        QTest::newRow("unknown field") << "Messages"
                                       << "Subject" << QVariant("x") << EngineError::ItemNotFound
                                       << "Item not found in this collection.";
    }

    void fieldRulesGiveTheEngineErrors()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(long, error);
        QFETCH(QString, text);
        const auto db = OpenDatabase(newDatabase());
        const auto records = db->OpenRecordset(table);
        records->setIndex(QStringLiteral("PrimaryKey"));
        const auto failure = failureOf([&] {
            records->AddNew();
            if (table == QLatin1String("Caller") && field != QLatin1String("Name"))
                records->setValue(QStringLiteral("Name"), QStringLiteral("Probe"));
            records->setValue(field, value);
            records->Update();
        });
        QCOMPARE(failure ? failure->number() : 0L, error);
        if (failure)
            QCOMPARE(failure->description(), text);

        // A failed save writes nothing.
        records->Seek(QStringLiteral(">="),
                      table == QLatin1String("Caller") ? QVariant(QString("")) : QVariant(0));
        QCOMPARE(records->NoMatch(), error != 0);
    }

    void seekFindsTheFirstMatchInIndexOrder_data()
    {
        QTest::addColumn<QString>("comparison");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("found"); // empty: NoMatch
        QTest::newRow("= exact") << "="
                                 << "Smith"
                                 << "Smith";
        QTest::newRow("= other case") << "="
                                      << "SMITHERS"
                                      << "Smithers";
        QTest::newRow("= umlaut other case") << "="
                                             << "ÜNAL"
                                             << "Ünal";
        QTest::newRow("= prefix only") << "="
                                       << "Smit"
                                       << "";
        QTest::newRow(">= prefix") << ">="
                                   << "smi"
                                   << "Smith";
        QTest::newRow(">= between") << ">="
                                    << "SMITHE"
                                    << "Smithers";
        QTest::newRow(">= lower case stored") << ">="
                                              << "Jo"
                                              << "jones";
        QTest::newRow("> skips equal") << ">"
                                       << "smith"
                                       << "Smithers";
        QTest::newRow(">= past the end") << ">="
                                         << "ünam"
                                         << "";
        QTest::newRow("<= from the end") << "<="
                                         << "smith"
                                         << "Smith";
        QTest::newRow("< from the end") << "<"
                                        << "b"
                                        << "Adams";
        QTest::newRow("< before the start") << "<"
                                            << "adams"
                                            << "";
    }

    void seekFindsTheFirstMatchInIndexOrder()
    {
        QFETCH(QString, comparison);
        QFETCH(QString, key);
        QFETCH(QString, found);
        const auto db = OpenDatabase(newDatabase({callerTable()}), OpenMode::Exclusive);
        const auto callers =
            db->OpenRecordset(QStringLiteral("Caller"), QStringLiteral("PrimaryKey"));
        for (const QString &name :
             {QStringLiteral("Smithers"), QStringLiteral("jones"), QStringLiteral("Ünal"),
              QStringLiteral("Adams"), QStringLiteral("Smith")}) {
            addCaller(*callers, name);
        }
        callers->Seek(comparison, key);
        QCOMPARE(callers->NoMatch(), found.isEmpty());
        QCOMPARE(callers->hasCurrentRecord(), !found.isEmpty());
        if (!found.isEmpty())
            QCOMPARE(callers->value(QStringLiteral("Name")).toString(), found);
    }

    void addEditUpdateAndLastModified()
    {
        const auto db = OpenDatabase(newDatabase());
        const auto log =
            db->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        const QDateTime sent(QDate(2024, 3, 31), QTime(2, 30, 15));

        log->AddNew();
        QVERIFY(log->value(QStringLiteral("ID")).isNull());
        log->setValue(QStringLiteral("DateSent"), sent);
        log->setValue(QStringLiteral("To"), QStringLiteral("Anna"));
        log->setValue(QStringLiteral("Caller"), QStringLiteral("Smith"));
        log->setValue(QStringLiteral("Note"), QStringLiteral("Call back 😀"));
        log->setValue(QStringLiteral("Action"), QString());
        log->setValue(QStringLiteral("ReceiptRequested"), true);
        log->setValue(QStringLiteral("ReceiptAcknowledged"), QStringLiteral("0"));
        log->Update();
        QVERIFY(!log->hasCurrentRecord()); // AddNew does not move the record set
        log->setBookmark(log->LastModified());
        QCOMPARE(log->value(QStringLiteral("ID")), QVariant(1));
        QCOMPARE(log->value(QStringLiteral("DateSent")).toDateTime(), sent);
        QVERIFY(log->value(QStringLiteral("DateReceived")).isNull());
        QCOMPARE(log->value(QStringLiteral("Note")).toString(), QStringLiteral("Call back 😀"));
        QVERIFY(log->value(QStringLiteral("Action")).isNull());
        QCOMPARE(log->value(QStringLiteral("ReceiptRequested")), QVariant(1));

        // Record 2 has the same caller in other letters and an earlier date.
        const qint64 second = addMessage(*log, QStringLiteral("SMITH"), sent.addDays(-1));
        QCOMPARE(log->value(QStringLiteral("ID")), QVariant(1)); // still the current one
        log->setBookmark(second);
        QCOMPARE(log->value(QStringLiteral("ID")), QVariant(2));

        log->Seek(QStringLiteral("="), 1);
        log->Edit();
        log->setValue(QStringLiteral("ReceiptAcknowledged"), 2);
        log->Update();
        QCOMPARE(log->LastModified(), log->Bookmark());
        log->Seek(QStringLiteral("="), QStringLiteral("1")); // keys convert like values
        QCOMPARE(log->value(QStringLiteral("ReceiptAcknowledged")), QVariant(2));
        QCOMPARE(log->value(QStringLiteral("To")).toString(), QStringLiteral("Anna"));

        log->setIndex(QStringLiteral("Caller"));
        log->Seek(QStringLiteral("="), QStringLiteral("smith"));
        QCOMPARE(log->value(QStringLiteral("ID")), QVariant(1)); // first of equal keys
        log->setIndex(QStringLiteral("DateSent"));
        log->Seek(QStringLiteral(">="), QDate(2024, 3, 1));
        QCOMPARE(log->value(QStringLiteral("ID")), QVariant(2));
        log->Seek(QStringLiteral("="), QVariant());
        QVERIFY(log->NoMatch()); // both have a date

        QCOMPARE(errorNumberOf([&] { log->Update(); }), EngineError::UpdateWithoutEdit);
        QCOMPARE(errorNumberOf([&] { log->Edit(); }), EngineError::NoCurrentRecord);
        QCOMPARE(errorNumberOf([&] { log->setIndex(QStringLiteral("Nope")); }),
                 EngineError::NotAnIndex);
        QCOMPARE(errorNumberOf([&] { log->setBookmark(99); }), EngineError::RecordDeleted);
        QCOMPARE(errorNumberOf([&] { (void)db->OpenRecordset(QStringLiteral("Nope")); }),
                 EngineError::TableNotFound);
    }

    void seeksUseTheIndex_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("comparison");
        QTest::newRow("caller name >=") << "Caller"
                                        << "PrimaryKey"
                                        << ">=";
        QTest::newRow("caller name =") << "Caller"
                                       << "PrimaryKey"
                                       << "=";
        QTest::newRow("log ID =") << "Messages"
                                  << "PrimaryKey"
                                  << "=";
        QTest::newRow("log caller =") << "Messages"
                                      << "Caller"
                                      << "=";
        QTest::newRow("log date <=") << "Messages"
                                     << "DateSent"
                                     << "<=";
    }

    void seeksUseTheIndex()
    {
        QFETCH(QString, table);
        QFETCH(QString, index);
        QFETCH(QString, comparison);
        const auto db = OpenDatabase(newDatabase());
        const auto records = db->OpenRecordset(table, index);
        const QString plan = records->seekQueryPlan(comparison, 1);
        QVERIFY2(plan.startsWith(QStringLiteral("SEARCH")) &&
                     plan.contains(QStringLiteral("USING")),
                 qPrintable(plan));
        QVERIFY2(!plan.contains(QStringLiteral("TEMP B-TREE")), qPrintable(plan));
    }

    void exclusiveOpeningShutsOutEveryOtherOpener()
    {
        const QString path = newDatabase({callerTable()});
        {
            const auto held = OpenDatabase(path, OpenMode::Exclusive);
            const auto inProcess =
                failureOf([&] { (void)OpenDatabase(path, OpenMode::Exclusive); });
            QVERIFY(inProcess);
            QCOMPARE(inProcess->number(), EngineError::FileInUse);
            QVERIFY2(inProcess->description().contains(QStringLiteral("database is locked")),
                     qPrintable(inProcess->description()));

            QProcess other;
            startHelper(other, {QStringLiteral("open"), path, QStringLiteral("shared")});
            const QString answer = finishHelper(other);
            QVERIFY2(answer.startsWith(QStringLiteral("error %1").arg(EngineError::FileInUse)) &&
                         answer.contains(QStringLiteral("database is locked")),
                     qPrintable(answer));
            QVERIFY(runShell(path, QStringLiteral("SELECT * FROM Caller;"))
                        .output.contains(QStringLiteral("database is locked")));
        }
        // Closed: the lock is gone. Now the other process holds it.
        QProcess holder;
        startHelper(holder, {QStringLiteral("hold"), path});
        QVERIFY(holder.waitForReadyRead(60000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
        QCOMPARE(errorNumberOf([&] { (void)OpenDatabase(path, OpenMode::Shared); }),
                 EngineError::FileInUse);
        holder.closeWriteChannel();
        QCOMPARE(finishHelper(holder), QString());
        QCOMPARE(errorNumberOf([&] { (void)OpenDatabase(path, OpenMode::Exclusive); }), 0L);
    }

    void sharedOpeningLetsEveryoneWrite()
    {
        const QString path = newDatabase({messagesTable()});
        const auto first = OpenDatabase(path, OpenMode::Shared);
        const auto second = OpenDatabase(path, OpenMode::Shared);
        QVERIFY(first->isWriteAheadLog());
        const auto mine =
            first->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        const auto theirs =
            second->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));

        QCOMPARE(addMessage(*mine, QStringLiteral("Mine")), 1);
        QCOMPARE(addMessage(*theirs, QStringLiteral("Theirs")), 2);
        QProcess other;
        startHelper(other, {QStringLiteral("add"), path, QStringLiteral("Another process")});
        QCOMPARE(finishHelper(other), QStringLiteral("added 3"));

        mine->Seek(QStringLiteral("="), 2);
        QCOMPARE(mine->value(QStringLiteral("Caller")).toString(), QStringLiteral("Theirs"));
        theirs->Seek(QStringLiteral("="), 3);
        theirs->Edit();
        theirs->setValue(QStringLiteral("ReceiptAcknowledged"), 1);
        theirs->Update();
        Idle();
        mine->Seek(QStringLiteral("="), 3);
        QCOMPARE(mine->value(QStringLiteral("ReceiptAcknowledged")), QVariant(1));
        QCOMPARE(mine->value(QStringLiteral("Caller")).toString(),
                 QStringLiteral("Another process"));
        QCOMPARE(runShell(path, QStringLiteral("PRAGMA journal_mode;")).output,
                 QStringLiteral("wal"));
    }

    void unusableFilesGiveErrorsAndStayUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<long>("error");
        for (const bool exclusive : {false, true}) {
            const char *mode = exclusive ? " exclusive" : " shared";
            QTest::addRow("junk%s", mode) << "junk" << exclusive << EngineError::UnrecognizedFormat;
            QTest::addRow("empty file%s", mode)
                << "empty" << exclusive << EngineError::UnrecognizedFormat;
            QTest::addRow("foreign database%s", mode)
                << "foreign" << exclusive << EngineError::UnrecognizedFormat;
            QTest::addRow("missing%s", mode) << "missing" << exclusive << EngineError::FileNotFound;
            QTest::addRow("folder%s", mode) << "folder" << exclusive << EngineError::CannotOpenFile;
            QTest::addRow("column dropped%s", mode)
                << "damaged" << exclusive << EngineError::DamagedDatabase;
        }
    }

    void unusableFilesGiveErrorsAndStayUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(bool, exclusive);
        QFETCH(long, error);
        QString path = newPath();
        if (kind == QLatin1String("junk")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Not a database, just some text that someone saved here.\n");
        } else if (kind == QLatin1String("empty")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("foreign")) {
            QCOMPARE(runShell(path, QStringLiteral("CREATE TABLE Caller (Name TEXT);")).exitCode,
                     0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("damaged")) {
            CreateDatabase(path, {callerTable()});
            QCOMPARE(
                runShell(path, QStringLiteral("ALTER TABLE Caller DROP COLUMN Phone;")).exitCode,
                0);
        }
        const QByteArray before = fileContents(path);

        const auto failure = failureOf(
            [&] { (void)OpenDatabase(path, exclusive ? OpenMode::Exclusive : OpenMode::Shared); });
        QVERIFY(failure);
        QCOMPARE(failure->number(), error);
        QVERIFY(failure->description().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(QFileInfo::exists(path), kind != QLatin1String("missing"));
        QCOMPARE(fileContents(path), before);
        QCOMPARE(QDir(m_env.path()).entryList({QFileInfo(path).fileName() + QStringLiteral("-*")}),
                 QStringList());
    }

    void listQueryFetchesLazilyUntilClosed()
    {
        const QString path = newDatabase({messagesTable()});
        const ShellResult filled = runShell(
            path, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < 1000) INSERT INTO Messages (DateSent, Caller, "
                                 "Caller_nocase) SELECT datetime('2024-01-01', '+' || i || ' "
                                 "minutes'), 'Caller ' || i, 'caller ' || i FROM n;"));
        QCOMPARE(filled.exitCode, 0);

        const auto db = OpenDatabase(path);
        const auto log =
            db->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        QSqlQueryModel model;
        db->setQuery(model, QStringLiteral("SELECT Messages.*, DateSent || '     ' || Caller AS "
                                           "ListFields FROM Messages ORDER BY DateSent DESC"));
        QVERIFY(model.rowCount() < 1000);
        QVERIFY(model.canFetchMore());
        QCOMPARE(model.record(0).value(QStringLiteral("ListFields")).toString(),
                 QStringLiteral("2024-01-01 16:40:00     Caller 1000"));
        // The open list query does not keep this or another connection from writing.
        QCOMPARE(addMessage(*log, QStringLiteral("While listing")), 1001);
        const auto other = OpenDatabase(path);
        const auto otherLog = other->OpenRecordset(QStringLiteral("Messages"));
        QCOMPARE(addMessage(*otherLog, QStringLiteral("Also while listing")), 1002);

        QCOMPARE(errorNumberOf([&] { db->setQuery(model, QStringLiteral("SELECT * FROM Nope")); }),
                 App::ErrorNumber::DatabaseFailure);
        QCOMPARE(model.rowCount(), 0);

        db->setQuery(model, QStringLiteral("SELECT ID FROM Messages"));
        QSqlQueryModel moved;
        db->setQuery(moved, QStringLiteral("SELECT ID FROM Messages"));
        other->setQuery(moved, QStringLiteral("SELECT ID FROM Messages"));
        QVERIFY(model.rowCount() > 0);
        db->Close();
        QCOMPARE(model.rowCount(), 0);
        model.clear(); // the closed file's driver is gone: the model must not reach it
        QVERIFY(moved.rowCount() > 0);
        QCOMPARE(errorNumberOf([&] { log->Seek(QStringLiteral("="), 1); }),
                 EngineError::ObjectClosed);
        QCOMPARE(errorNumberOf([&] { (void)OpenDatabase(path, OpenMode::Exclusive); }),
                 EngineError::FileInUse); // the other connection is still open
        other->Close();
        QCOMPARE(errorNumberOf([&] { (void)OpenDatabase(path, OpenMode::Exclusive); }), 0L);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1 && arguments.at(1) == HelperSwitch)
        return runHelper(arguments.mid(2));
    DbEngineTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbengine.moc"
