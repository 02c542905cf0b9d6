// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dberror.h"
#include "data/dbschema.h"

#include <QString>
#include <memory>

class QSqlQueryModel;

namespace Telvora::Data {

namespace Internal {
class Connection;
}

class Recordset;

/// How a database file is opened.
enum class OpenMode
{
    /// Several connections and processes read and write the file at once. A
    /// writer that finds the file busy waits a few seconds before it fails.
    Shared,
    /// This connection holds the file locked until it is closed: every other
    /// opener, in this process or another, fails at once with EngineError::FileInUse.
    Exclusive,
};

/// An open database file, read-write. Closing it (Close() or the destructor)
/// releases the file; record sets opened on it stop working and list models
/// whose query runs on it are cleared. Use it on the thread that opened it.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    /// The absolute path of the file.
    [[nodiscard]] QString path() const;
    [[nodiscard]] OpenMode mode() const;
    /// False after Close().
    [[nodiscard]] bool isOpen() const;
    /// True when the file runs in write-ahead-log mode (shared opening on a file
    /// system that allows it), so readers and one writer do not block each other.
    [[nodiscard]] bool isWriteAheadLog() const;

    /// The tables of the file with their fields and indexes, as they were created.
    [[nodiscard]] QList<TableDef> TableDefs() const;

    /// Opens a table-type record set on the table of that name (case-blind).
    /// When indexName is given it becomes the current index. Throws AppError
    /// (EngineError::TableNotFound, EngineError::NotAnIndex) on failure.
    [[nodiscard]] std::unique_ptr<Recordset> OpenRecordset(const QString &tableName,
                                                           const QString &indexName = {});

    /// Runs the SQL query as the source of a list model on this file. The model
    /// fetches rows as they are needed; when the file is not in write-ahead-log
    /// mode the rows are all fetched at once, so that an unfinished query does
    /// not keep writers out. Throws AppError with the engine's text when the
    /// query cannot be run; the model is then left empty.
    void setQuery(QSqlQueryModel &model, const QString &sql);

    /// Releases the read locks of this file's record sets, so that they see the
    /// changes of other holders from their next seek on.
    void Idle();

    /// Closes the file. Doing it twice does nothing.
    void Close();

private:
    friend std::unique_ptr<Database> OpenDatabase(const QString &, OpenMode, const TableDef *);
    explicit Database(std::shared_ptr<Internal::Connection> connection);

    std::shared_ptr<Internal::Connection> m_connection;
};

/// Creates a database file at path holding the given tables, each with its
/// fields, indexes and the check constraints that keep values within their
/// field's type, size and zero-length rule (the stock sqlite3 shell obeys them
/// too). The file is left closed. All or nothing: when any step fails the new
/// file is removed again. Never overwrites: an existing file gives
/// EngineError::DatabaseExists. A definition that breaks the rules of Field and
/// Index gives EngineError::InvalidDefinition. Other failures carry the engine's text.
void CreateDatabase(const QString &path, const QList<TableDef> &tables);

/// Opens a database file created by CreateDatabase, read-write, and reads its
/// table definitions. Throws AppError and leaves the file untouched when the
/// file is missing (EngineError::FileNotFound), is not such a database
/// (EngineError::UnrecognizedFormat), is held by another opener in a way that
/// excludes this one (EngineError::FileInUse, "database is locked"), is
/// read-only (EngineError::ReadOnly), cannot be opened (EngineError::CannotOpenFile)
/// or no longer matches its table definitions (EngineError::DamagedDatabase).
/// With a required table, a file that lacks it or holds it with other fields or
/// indexes fails too (EngineError::UnrecognizedFormat), before the opening
/// changes anything in the file (such as its journal mode).
[[nodiscard]] std::unique_ptr<Database> OpenDatabase(const QString &path,
                                                     OpenMode mode = OpenMode::Shared,
                                                     const TableDef *required = nullptr);

/// Releases the read locks of every open database of this thread (see Database::Idle()).
void Idle();

/// Checks that the database engine can be used: the SQLite driver loads and
/// can create, write and read an in-memory database. Returns an empty string
/// when it can, otherwise the engine's error text.
[[nodiscard]] QString verifyEngine();

} // namespace Telvora::Data
