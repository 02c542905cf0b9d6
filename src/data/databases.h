// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbengine.h"
#include "data/dbschema.h"
#include "data/recordset.h"

#include <QString>
#include <memory>

namespace Telvora::Data {

/// The database module: owns the open handles of the two optional database
/// files, the caller database (table "Caller", opened exclusively) and the
/// message log (table "Messages", opened shared), and the operations that check
/// the engine, create the files, open and close them. Every operation shows its
/// own failure to the user through App::prompt() and reports the outcome in its
/// result or in the flags below; none of them throws.
///
/// Use the program-wide instance databases() on the user-interface thread.
class DatabaseModule
{
public:
    DatabaseModule() = default;
    ~DatabaseModule();
    DatabaseModule(const DatabaseModule &) = delete;
    DatabaseModule &operator=(const DatabaseModule &) = delete;

    /// The caller file, opened exclusively; null while closed.
    std::unique_ptr<Database> CallerDb;
    /// Table-type record set on "Caller", current index "PrimaryKey" (Name,
    /// unique, case-blind); null while closed.
    std::unique_ptr<Recordset> CallerTable;
    /// The log file, opened shared for direct record access; null while closed.
    std::unique_ptr<Database> LogDb;
    /// Table-type record set on "Messages", current index "PrimaryKey" (ID);
    /// null while closed. OpenLogDatabase() replaces it on every call.
    std::unique_ptr<Recordset> LogTable;

    /// LogDb is open.
    bool LogDbOpen = false;
    /// LogTable is open.
    bool LogTableOpen = false;
    /// The main window's log list points at the log file. Kept by the message
    /// log code; the module only resets it in reset().
    bool LogListBound = false;

    /// True while the caller file and its table are open. Every change is
    /// mirrored into App::globals().CallerOpen, which the main window reads.
    [[nodiscard]] bool CallerOpen() const { return m_callerOpen; }

    /// Checks that the database engine can be used. When it cannot, shows
    /// "Database Error - Database Engine Not Properly Installed" with the
    /// engine's text and returns false.
    [[nodiscard]] bool CheckDatabaseEngine();

    /// Creates an empty message log file at path with the table of
    /// messagesTableDef(). The file is left closed. On failure shows the engine's
    /// text and returns false; no file is left behind and an existing file is
    /// never overwritten.
    [[nodiscard]] bool CreateLogDatabase(const QString &path);

    /// Creates an empty caller file at the path of the setting CallerMDB with the
    /// table of callerTableDef(). Fails as CreateLogDatabase().
    [[nodiscard]] bool CreateCallerDatabase();

    /// Opens the caller file named by CallerMDB exclusively with its table.
    /// Offers to create a missing file. On any failure (declined, not a
    /// database, different tables, held by another program, read-only) reports
    /// it, switches CallerEnabled off and leaves CallerOpen() false; the file is
    /// left untouched. Calling it while the file is open keeps the open handles.
    void OpenCallerDatabase();

    /// Opens the log file named by MessageLog shared (once) and opens LogTable on
    /// it again. Returns true when LogTable is open. Offers to create a missing
    /// file; declining returns false and leaves logging switched on. Any other
    /// failure is reported, switches MessageLogEnabled off and returns false.
    [[nodiscard]] bool OpenLogDatabase();

    /// Closes the caller table and file when they are open; otherwise does nothing.
    void CloseCallerDatabase();

    /// Closes the log table and file, silently, whatever their state.
    void CloseLogDatabase();

    /// At start-up: for each switched-on feature whose file is missing, tells the
    /// user and creates it; an empty path setting gets ExePath() + "telvora.mdb"
    /// (caller) or ExePath() + "msglog.mdb" (log) stored first. Opens nothing.
    void EnsureDatabases();

    /// Closes every handle and lowers every flag, as at program start. For tests
    /// and for an orderly end of the program.
    void reset();

    /// The table "Messages" of a message log file: 12 fields, 4 indexes.
    [[nodiscard]] static const TableDef &messagesTableDef();
    /// The table "Caller" of a caller file: 3 fields, the unique case-blind
    /// index "PrimaryKey" on Name (not primary).
    [[nodiscard]] static const TableDef &callerTableDef();

private:
    void setCallerOpen(bool open);

    bool m_callerOpen = false;
};

/// The program-wide database module.
[[nodiscard]] DatabaseModule &databases();

} // namespace Telvora::Data
