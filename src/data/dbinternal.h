// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbengine.h"
#include "data/dbschema.h"

#include <QList>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <vector>

class QSqlError;
class QSqlQueryModel;

namespace Telvora::Data::Internal {

/// Holds prepared statements on a Connection; the connection tells it when to
/// reset them (Idle) and when to drop them (the connection closes).
class StatementHolder
{
public:
    virtual void finishStatements() = 0;
    virtual void releaseStatements() = 0;

protected:
    ~StatementHolder() = default;
};

/// One uniquely named Qt SQL connection to one SQLite file, removed again on close.
class Connection
{
public:
    Connection(const QString &absolutePath, OpenMode mode);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    /// Opens an existing database file (see OpenDatabase()).
    /// Opens the file; with a required table, fails unless the file holds it
    /// exactly, before anything is written.
    void open(const TableDef *required = nullptr);
    /// Throws EngineError::UnrecognizedFormat unless the read tables hold this
    /// one with exactly its fields and indexes.
    void requireTable(const TableDef &required) const;
    /// Opens the empty file just made by createDatabaseFile() and writes the
    /// tables into it in one transaction.
    void createTables(const QList<TableDef> &tables);
    void close();

    [[nodiscard]] bool isOpen() const { return m_open; }
    [[nodiscard]] const QString &path() const { return m_path; }
    [[nodiscard]] OpenMode mode() const { return m_mode; }
    [[nodiscard]] bool isWriteAheadLog() const { return m_writeAheadLog; }
    [[nodiscard]] const QList<TableDef> &tables() const { return m_tables; }
    [[nodiscard]] QSqlDatabase database() const { return m_db; }

    /// Runs one statement; throws AppError with the engine's text on failure.
    QSqlQuery execute(const QString &sql);
    /// Throws EngineError::ObjectClosed when the connection is closed.
    void ensureOpen() const;

    void attach(StatementHolder *holder);
    void detach(StatementHolder *holder);
    /// Remembers a list model whose query runs here, to clear it on close;
    /// other connections forget it.
    void trackModel(QSqlQueryModel *model);
    void idle();

    /// Every open connection of the program.
    static std::vector<Connection *> &openConnections();

private:
    void connect();
    void probeWritable();

    QString m_path;
    OpenMode m_mode;
    QString m_name;
    QSqlDatabase m_db;
    bool m_open = false;
    bool m_writeAheadLog = false;
    QList<TableDef> m_tables;
    std::vector<StatementHolder *> m_holders;
    QList<QPointer<QSqlQueryModel>> m_models;
};

[[noreturn]] void raise(long number, const QString &description);
/// Throws the AppError that matches an engine failure on the file at path.
[[noreturn]] void raiseSqlError(const QSqlError &error, const QString &path);

[[nodiscard]] QString quoteName(const QString &name);
/// The column that holds the index key of a field: its case key column for text.
[[nodiscard]] QString keyColumn(const TableDef &table, const Field &field);

/// Creates the database file at path with the tables (see CreateDatabase()).
void createDatabaseFile(const QString &path, const QList<TableDef> &tables);

} // namespace Telvora::Data::Internal
