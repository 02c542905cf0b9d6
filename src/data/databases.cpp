// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/databases.h"

#include "app/globals.h"
#include "app/prompt.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Telvora::Data {

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

void showEngineText(const App::AppError &error)
{
    App::showMessage(error.description());
}

bool create(const QString &path, const TableDef &table)
{
    try {
        CreateDatabase(path, {table});
        return true;
    } catch (const App::AppError &error) {
        showEngineText(error);
        return false;
    }
}

/// Opens the file in that mode when it holds the table as this program creates
/// it; a file with another schema is left exactly as it was.
std::unique_ptr<Database> openChecked(const QString &path, OpenMode mode, const TableDef &table)
{
    return OpenDatabase(path, mode, &table);
}

} // namespace

// The handles go in reverse order of declaration: each record set before its
// database. The program-wide flag is left alone (it may be gone already).
DatabaseModule::~DatabaseModule() = default;

const TableDef &DatabaseModule::messagesTableDef()
{
    static const TableDef table{
        QStringLiteral("Messages"),
        {
            Field::longInteger(QStringLiteral("ID"), true),
            Field::dateTime(QStringLiteral("DateSent")),
            Field::dateTime(QStringLiteral("DateReceived")),
            Field::text(QStringLiteral("To"), 55, true),
            Field::text(QStringLiteral("Caller"), 55, true),
            Field::text(QStringLiteral("Company"), 55, true),
            Field::text(QStringLiteral("Phone"), 35, true),
            Field::text(QStringLiteral("Note"), 255, true),
            Field::text(QStringLiteral("Action"), 15, true),
            Field::text(QStringLiteral("Sender"), 35, true),
            Field::byte(QStringLiteral("ReceiptRequested")),
            Field::byte(QStringLiteral("ReceiptAcknowledged")),
        },
        {
            Index{QStringLiteral("PrimaryKey"), {QStringLiteral("ID")}, true, true},
            Index{QStringLiteral("DateSent"), {QStringLiteral("DateSent")}, false, false},
            Index{QStringLiteral("Recipient"), {QStringLiteral("To")}, false, false},
            Index{QStringLiteral("Caller"), {QStringLiteral("Caller")}, false, false},
        },
    };
    return table;
}

const TableDef &DatabaseModule::callerTableDef()
{
    static const TableDef table{
        QStringLiteral("Caller"),
        {
            Field::text(QStringLiteral("Name"), 50, false),
            Field::text(QStringLiteral("Company"), 75, true),
            Field::text(QStringLiteral("Phone"), 30, true),
        },
        {
            Index{QStringLiteral("PrimaryKey"), {QStringLiteral("Name")}, true, false},
        },
    };
    return table;
}

void DatabaseModule::setCallerOpen(bool open)
{
    m_callerOpen = open;
    App::globals().CallerOpen = open;
}

bool DatabaseModule::CheckDatabaseEngine()
{
    const QString failure = verifyEngine();
    if (failure.isEmpty())
        return true;
    App::showMessage(QStringLiteral("Database Error - Database Engine Not Properly Installed") +
                         CrLf + CrLf + failure,
                     App::PromptButtons::Ok, App::PromptIcon::Exclamation, App::AppTitle);
    return false;
}

bool DatabaseModule::CreateLogDatabase(const QString &path)
{
    return create(path, messagesTableDef());
}

bool DatabaseModule::CreateCallerDatabase()
{
    return create(Config::settings().CallerMDB(), callerTableDef());
}

void DatabaseModule::OpenCallerDatabase()
{
    // A second exclusive opening of our own file would only lock us out: the
    // open handles already give a working caller search.
    if (m_callerOpen)
        return;

    Config::Settings &settings = Config::settings();
    const QString path = settings.CallerMDB();
    if (!fileExists(path)) {
        const App::PromptAnswer answer = App::showMessage(
            QStringLiteral("The Caller Database Could Not Be Found.  Should A New Database Be "
                           "Created?"),
            App::PromptButtons::YesNo, App::PromptIcon::Question,
            QStringLiteral("Data Access Error"));
        if (answer != App::PromptAnswer::Yes || !CreateCallerDatabase()) {
            setCallerOpen(false);
            settings.setCallerEnabled(false);
            return;
        }
    }

    try {
        std::unique_ptr<Database> database =
            openChecked(path, OpenMode::Exclusive, callerTableDef());
        std::unique_ptr<Recordset> table =
            database->OpenRecordset(QStringLiteral("Caller"), QStringLiteral("PrimaryKey"));
        CallerDb = std::move(database);
        CallerTable = std::move(table);
        setCallerOpen(true);
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Err Opening Caller Database.") + CrLf +
                         error.description());
        settings.setCallerEnabled(false);
        setCallerOpen(false);
    }
}

bool DatabaseModule::OpenLogDatabase()
{
    Config::Settings &settings = Config::settings();
    const QString path = settings.MessageLog();
    try {
        if (!LogDbOpen) {
            if (!fileExists(path)) {
                const App::PromptAnswer answer = App::showMessage(
                    QStringLiteral("The Message Log Database Could Not Be Found.  Should A New "
                                   "Database Be Created?"),
                    App::PromptButtons::YesNo, App::PromptIcon::Question,
                    QStringLiteral("Data Access Error"));
                if (answer != App::PromptAnswer::Yes || !CreateLogDatabase(path)) {
                    LogDbOpen = false;
                    LogTableOpen = false;
                    return false;
                }
            }
            LogDb = openChecked(path, OpenMode::Shared, messagesTableDef());
            LogDbOpen = true;
        }
        LogTable.reset();
        LogTable = LogDb->OpenRecordset(QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        LogTableOpen = true;
        return true;
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Err Opening Messages Database.") + CrLf +
                         error.description());
        LogTableOpen = false;
        settings.setMessageLogEnabled(false);
        return false;
    }
}

void DatabaseModule::CloseCallerDatabase()
{
    if (!m_callerOpen)
        return;
    CallerTable.reset();
    CallerDb.reset();
    setCallerOpen(false);
}

void DatabaseModule::CloseLogDatabase()
{
    LogTable.reset();
    LogDb.reset();
    LogTableOpen = false;
    LogDbOpen = false;
}

void DatabaseModule::EnsureDatabases()
{
    Config::Settings &settings = Config::settings();

    if (settings.CallerEnabled()) {
        const QString path = settings.CallerMDB();
        const QString notice = QStringLiteral("A Caller Database Will Now Be Created");
        if (!path.isEmpty() && !fileExists(path)) {
            App::showMessage(notice, App::PromptButtons::Ok, App::PromptIcon::Information,
                             App::AppTitle);
            if (!CreateCallerDatabase())
                settings.setCallerEnabled(false);
        } else if (path.isEmpty()) {
            const QString defaultPath = settings.ExePath() + QStringLiteral("telvora.mdb");
            settings.setCallerMDB(defaultPath);
            // A file left at the default place (settings reset) is used as it
            // is, never created over.
            if (!fileExists(defaultPath)) {
                App::showMessage(notice, App::PromptButtons::Ok, App::PromptIcon::Information,
                                 App::AppTitle);
                (void)CreateCallerDatabase();
            }
        }
    }

    if (settings.MessageLogEnabled()) {
        const QString path = settings.MessageLog();
        const QString notice = QStringLiteral("A Message Log Database Will Now Be Created");
        if (!path.isEmpty() && !fileExists(path)) {
            App::showMessage(notice, App::PromptButtons::Ok, App::PromptIcon::Information,
                             App::AppTitle);
            if (!CreateLogDatabase(path))
                settings.setMessageLogEnabled(false);
        } else if (path.isEmpty()) {
            const QString defaultPath = settings.ExePath() + QStringLiteral("msglog.mdb");
            settings.setMessageLog(defaultPath);
            if (!fileExists(defaultPath)) {
                App::showMessage(notice, App::PromptButtons::Ok, App::PromptIcon::Information,
                                 App::AppTitle);
                (void)CreateLogDatabase(defaultPath);
            }
        }
    }
}

void DatabaseModule::reset()
{
    CallerTable.reset();
    CallerDb.reset();
    setCallerOpen(false);
    CloseLogDatabase();
    LogListBound = false;
}

DatabaseModule &databases()
{
    static DatabaseModule module;
    return module;
}

} // namespace Telvora::Data
