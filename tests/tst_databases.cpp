// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "data/databases.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "tempenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <iostream>
#include <string>

using namespace Telvora;
using namespace Telvora::Data;

namespace {

const QString HoldSwitch = QStringLiteral("--hold-exclusive");

/// In the helper process: holds the file exclusively until its input closes.
int holdExclusively(const QString &path)
{
    try {
        const auto database = OpenDatabase(path, OpenMode::Exclusive);
        std::cout << "ready" << std::endl;
        std::string line;
        std::getline(std::cin, line);
        return 0;
    } catch (const App::AppError &error) {
        std::cout << "error " << error.what() << std::endl;
        return 1;
    }
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

} // namespace

/// The database module: the schemas of new files, start-up creation, opening
/// with its questions and its failures, closing.
class DatabasesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempEnvironment> m_environment;
    std::unique_ptr<Test::ScriptedPrompt> m_prompt;

    QString tempFile(const QString &name) const { return m_environment->filePath(name); }
    Config::Settings &settings() { return Config::settings(); }

private slots:
    void init()
    {
        m_environment = std::make_unique<Test::TempEnvironment>();
        m_prompt = std::make_unique<Test::ScriptedPrompt>();
        App::globals() = App::Globals{};
    }

    void cleanup()
    {
        databases().reset();
        m_prompt.reset();
        m_environment.reset();
    }

    void newFilesHoldTheirTables()
    {
        const QString logPath = tempFile(QStringLiteral("msglog.mdb"));
        QVERIFY(databases().CreateLogDatabase(logPath));
        {
            const auto log = OpenDatabase(logPath);
            const QList<TableDef> tables = log->TableDefs();
            QCOMPARE(tables.size(), 1);
            const TableDef &messages = tables.first();
            QCOMPARE(messages, DatabaseModule::messagesTableDef());
            QStringList names;
            QList<int> sizes;
            for (const Field &field : messages.fields) {
                names << field.name;
                sizes << field.size;
            }
            QCOMPARE(names, QStringList({"ID", "DateSent", "DateReceived", "To", "Caller",
                                         "Company", "Phone", "Note", "Action", "Sender",
                                         "ReceiptRequested", "ReceiptAcknowledged"}));
            QCOMPARE(sizes, QList<int>({4, 8, 8, 55, 55, 55, 35, 255, 15, 35, 1, 1}));
            QVERIFY(messages.fields.at(0).autoIncrement);
            for (int i = 0; i < messages.fields.size(); ++i)
                QCOMPARE(messages.fields.at(i).allowZeroLength, i >= 3 && i <= 9);
            QCOMPARE(messages.indexes.size(), 4);
            const Index *primary = messages.index(QStringLiteral("PrimaryKey"));
            QVERIFY(primary && primary->unique && primary->primary);
            QCOMPARE(messages.index(QStringLiteral("Recipient"))->fields,
                     QStringList{QStringLiteral("To")});
            QVERIFY(!messages.index(QStringLiteral("Caller"))->unique);
        }

        const QString callerPath = tempFile(QStringLiteral("telvora.mdb"));
        settings().setCallerMDB(callerPath);
        QVERIFY(databases().CreateCallerDatabase());
        const auto callerFile = OpenDatabase(callerPath);
        QCOMPARE(callerFile->TableDefs(), QList<TableDef>{DatabaseModule::callerTableDef()});
        const TableDef &caller = DatabaseModule::callerTableDef();
        QCOMPARE(caller.fields.size(), 3);
        QVERIFY(!caller.fields.at(0).allowZeroLength);
        QCOMPARE(caller.indexes.size(), 1);
        QVERIFY(caller.indexes.first().unique && !caller.indexes.first().primary);

        // Names that differ only in letter case are one caller.
        const auto callers = callerFile->OpenRecordset(QStringLiteral("Caller"));
        callers->AddNew();
        callers->setValue(QStringLiteral("Name"), QStringLiteral("Smithers"));
        callers->Update();
        callers->AddNew();
        callers->setValue(QStringLiteral("Name"), QStringLiteral("SMITHERS"));
        try {
            callers->Update();
            QFAIL("a name differing only in case was stored");
        } catch (const App::AppError &error) {
            QCOMPARE(error.number(), EngineError::DuplicateKey);
        }
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void creatingOverAFileFailsAndKeepsIt()
    {
        const QString path = tempFile(QStringLiteral("msglog.mdb"));
        writeFile(path, "someone else's data");
        QVERIFY(!databases().CreateLogDatabase(path));
        QCOMPARE(m_prompt->shown.size(), 1);
        QVERIFY(!m_prompt->shown.first().text.isEmpty());
        QCOMPARE(m_prompt->shown.first().title, App::AppTitle);
        QCOMPARE(m_prompt->shown.first().icon, App::PromptIcon::None);
        QCOMPARE(fileContents(path), QByteArray("someone else's data"));
    }

    void engineIsUsable()
    {
        QVERIFY(databases().CheckDatabaseEngine());
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void firstStartCreatesFilesAtTheDefaultPlace()
    {
        settings().setCallerEnabled(true);
        settings().setMessageLogEnabled(true);
        databases().EnsureDatabases();

        QCOMPARE(m_prompt->shown.size(), 2);
        QCOMPARE(m_prompt->shown.at(0).text,
                 QStringLiteral("A Caller Database Will Now Be Created"));
        QCOMPARE(m_prompt->shown.at(1).text,
                 QStringLiteral("A Message Log Database Will Now Be Created"));
        for (const App::MessageBoxRequest &box : m_prompt->shown) {
            QCOMPARE(box.icon, App::PromptIcon::Information);
            QCOMPARE(box.buttons, App::PromptButtons::Ok);
            QCOMPARE(box.title, App::AppTitle);
        }
        const QString callerPath = settings().ExePath() + QStringLiteral("telvora.mdb");
        const QString logPath = settings().ExePath() + QStringLiteral("msglog.mdb");
        QVERIFY(callerPath.startsWith(m_environment->dataHome()));
        QCOMPARE(settings().CallerMDB(), callerPath);
        QCOMPARE(settings().MessageLog(), logPath);
        QVERIFY(settings().CallerEnabled() && settings().MessageLogEnabled());
        // Created, not opened: another opener can take them exclusively.
        QVERIFY(!databases().CallerOpen() && !databases().LogDbOpen);
        QCOMPARE(OpenDatabase(callerPath, OpenMode::Exclusive)->TableDefs().first().name,
                 QStringLiteral("Caller"));
        QCOMPARE(OpenDatabase(logPath, OpenMode::Exclusive)->TableDefs().first().name,
                 QStringLiteral("Messages"));

        // The next start finds both and says nothing.
        databases().EnsureDatabases();
        QCOMPARE(m_prompt->shown.size(), 2);
    }

    void startRecreatesADeletedLogAndSkipsSwitchedOffFeatures()
    {
        const QString logPath = tempFile(QStringLiteral("shared/msglog.mdb"));
        QVERIFY(QDir().mkpath(QFileInfo(logPath).path()));
        settings().setMessageLog(logPath);
        settings().setMessageLogEnabled(true);
        settings().setCallerEnabled(false);
        databases().EnsureDatabases();

        QCOMPARE(m_prompt->shown.size(), 1);
        QCOMPARE(m_prompt->shown.first().text,
                 QStringLiteral("A Message Log Database Will Now Be Created"));
        QCOMPARE(OpenDatabase(logPath)->TableDefs(),
                 QList<TableDef>{DatabaseModule::messagesTableDef()});
        QVERIFY(settings().CallerMDB().isEmpty());

        // A place where nothing can be created switches logging off.
        settings().setMessageLog(tempFile(QStringLiteral("no such dir/msglog.mdb")));
        databases().EnsureDatabases();
        QCOMPARE(m_prompt->shown.size(), 3); // the notice, then the engine's text
        QCOMPARE(m_prompt->shown.at(2).icon, App::PromptIcon::None);
        QVERIFY(!settings().MessageLogEnabled());
    }

    void missingCallerFile_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void missingCallerFile()
    {
        QFETCH(bool, create);
        const QString path = tempFile(QStringLiteral("telvora.mdb"));
        settings().setCallerMDB(path);
        settings().setCallerEnabled(true);
        m_prompt->answer(create ? App::PromptAnswer::Yes : App::PromptAnswer::No);
        databases().OpenCallerDatabase();

        QCOMPARE(m_prompt->shown.size(), 1);
        const App::MessageBoxRequest &question = m_prompt->shown.first();
        QCOMPARE(question.text, QStringLiteral("The Caller Database Could Not Be Found.  Should A "
                                               "New Database Be Created?"));
        QCOMPARE(question.title, QStringLiteral("Data Access Error"));
        QCOMPARE(question.buttons, App::PromptButtons::YesNo);
        QCOMPARE(question.icon, App::PromptIcon::Question);

        QCOMPARE(databases().CallerOpen(), create);
        QCOMPARE(App::globals().CallerOpen, create);
        QCOMPARE(settings().CallerEnabled(), create);
        QCOMPARE(QFileInfo::exists(path), create);
        if (create) {
            QVERIFY(databases().CallerTable);
            QCOMPARE(databases().CallerTable->index(), QStringLiteral("PrimaryKey"));
            // Opening again keeps the working handles.
            databases().OpenCallerDatabase();
            QVERIFY(databases().CallerOpen());
            QCOMPARE(m_prompt->shown.size(), 1);
        }
    }

    void missingLogFile_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void missingLogFile()
    {
        QFETCH(bool, create);
        const QString path = tempFile(QStringLiteral("msglog.mdb"));
        settings().setMessageLog(path);
        settings().setMessageLogEnabled(true);
        m_prompt->answer(create ? App::PromptAnswer::Yes : App::PromptAnswer::No);

        QCOMPARE(databases().OpenLogDatabase(), create);
        QCOMPARE(m_prompt->shown.size(), 1);
        QCOMPARE(m_prompt->shown.first().text,
                 QStringLiteral("The Message Log Database Could Not Be Found.  Should A New "
                                "Database Be Created?"));
        QCOMPARE(m_prompt->shown.first().title, QStringLiteral("Data Access Error"));
        QCOMPARE(databases().LogTableOpen, create);
        QCOMPARE(databases().LogDbOpen, create);
        QVERIFY(settings().MessageLogEnabled()); // either way logging stays on

        if (create) {
            // The table is opened again on every call; the file once.
            Database *file = databases().LogDb.get();
            QVERIFY(databases().OpenLogDatabase());
            QCOMPARE(databases().LogDb.get(), file);
            QCOMPARE(databases().LogTable->index(), QStringLiteral("PrimaryKey"));
            databases().CloseLogDatabase();
            QVERIFY(!databases().LogDbOpen && !databases().LogTableOpen && !databases().LogDb);
            databases().CloseLogDatabase(); // silently, again
        } else {
            QVERIFY(!databases().OpenLogDatabase()); // the next use asks again
            QCOMPARE(m_prompt->shown.size(), 2);
        }
        QCOMPARE(m_prompt->shown.size(), create ? 1 : 2);
    }

    void unusableFilesSwitchTheFeatureOff_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a database") << QStringLiteral("junk");
        QTest::newRow("different tables") << QStringLiteral("schema");
        QTest::newRow("empty file of another program") << QStringLiteral("other");
        QTest::newRow("held by another program") << QStringLiteral("held");
    }

    void unusableFilesSwitchTheFeatureOff()
    {
        QFETCH(QString, kind);
        const QString callerPath = tempFile(QStringLiteral("telvora.mdb"));
        const QString logPath = tempFile(QStringLiteral("msglog.mdb"));
        if (kind == QLatin1String("junk")) {
            writeFile(callerPath, QByteArray(4096, 'x'));
            writeFile(logPath, "Standard Jet DB, or so it says");
        } else if (kind == QLatin1String("schema")) {
            TableDef caller = DatabaseModule::callerTableDef();
            caller.fields[1].size = 40;
            CreateDatabase(callerPath, {caller});
            TableDef messages = DatabaseModule::messagesTableDef();
            messages.indexes.removeLast();
            CreateDatabase(logPath, {messages});
        } else if (kind == QLatin1String("other")) {
            // A database of this engine holding other tables.
            CreateDatabase(callerPath, {DatabaseModule::messagesTableDef()});
            CreateDatabase(logPath, {DatabaseModule::callerTableDef()});
        } else {
            settings().setCallerMDB(callerPath);
            QVERIFY(databases().CreateCallerDatabase());
            QVERIFY(databases().CreateLogDatabase(logPath));
        }
        const QByteArray callerBefore = fileContents(callerPath);
        const QByteArray logBefore = fileContents(logPath);

        QProcess holder;
        if (kind == QLatin1String("held")) {
            holder.setProcessChannelMode(QProcess::MergedChannels);
            holder.start(QCoreApplication::applicationFilePath(), {HoldSwitch, callerPath});
            QVERIFY(holder.waitForReadyRead(60000));
            QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
        }

        settings().setCallerMDB(callerPath);
        settings().setCallerEnabled(true);
        databases().OpenCallerDatabase();
        QCOMPARE(m_prompt->shown.size(), 1);
        const App::MessageBoxRequest &callerBox = m_prompt->shown.first();
        QVERIFY2(callerBox.text.startsWith(QStringLiteral("Err Opening Caller Database.\r\n")),
                 qPrintable(callerBox.text));
        QVERIFY(callerBox.text.size() > 31); // the engine's text follows
        QCOMPARE(callerBox.title, App::AppTitle);
        QCOMPARE(callerBox.icon, App::PromptIcon::None);
        QVERIFY(!databases().CallerOpen() && !App::globals().CallerOpen);
        QVERIFY(!databases().CallerTable && !databases().CallerDb);
        QVERIFY(!settings().CallerEnabled());
        if (kind == QLatin1String("held")) {
            QVERIFY2(callerBox.text.contains(QStringLiteral("locked")), qPrintable(callerBox.text));
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished(60000));
            // The log held by another handle of this very process.
            const auto mine = OpenDatabase(logPath, OpenMode::Exclusive);
            Q_UNUSED(mine);
            settings().setMessageLog(logPath);
            settings().setMessageLogEnabled(true);
            QVERIFY(!databases().OpenLogDatabase());
        } else {
            settings().setMessageLog(logPath);
            settings().setMessageLogEnabled(true);
            QVERIFY(!databases().OpenLogDatabase());
        }
        QCOMPARE(m_prompt->shown.size(), 2);
        const App::MessageBoxRequest &logBox = m_prompt->shown.at(1);
        QVERIFY2(logBox.text.startsWith(QStringLiteral("Err Opening Messages Database.\r\n")),
                 qPrintable(logBox.text));
        QCOMPARE(logBox.icon, App::PromptIcon::None);
        QVERIFY(!databases().LogTableOpen && !databases().LogDbOpen);
        QVERIFY(!settings().MessageLogEnabled());

        QCOMPARE(fileContents(callerPath), callerBefore);
        QCOMPARE(fileContents(logPath), logBefore);
    }

    void closingTheCallerFileReleasesIt()
    {
        const QString path = tempFile(QStringLiteral("telvora.mdb"));
        settings().setCallerMDB(path);
        databases().CloseCallerDatabase(); // nothing open: nothing happens
        QVERIFY(databases().CreateCallerDatabase());
        databases().OpenCallerDatabase();
        QVERIFY(databases().CallerOpen());
        databases().CloseCallerDatabase();
        QVERIFY(!databases().CallerOpen() && !App::globals().CallerOpen);
        QVERIFY(!databases().CallerTable && !databases().CallerDb);
        QVERIFY(OpenDatabase(path, OpenMode::Exclusive)->isOpen());
        QVERIFY(m_prompt->shown.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() > 2 && arguments.at(1) == HoldSwitch)
        return holdExclusively(arguments.at(2));
    DatabasesTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_databases.moc"
