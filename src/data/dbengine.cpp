// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbengine.h"

#include "data/dbinternal.h"
#include "data/recordset.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>

namespace Telvora::Data {

Database::Database(std::shared_ptr<Internal::Connection> connection)
    : m_connection(std::move(connection))
{}

Database::~Database()
{
    Close();
}

QString Database::path() const
{
    return m_connection->path();
}

OpenMode Database::mode() const
{
    return m_connection->mode();
}

bool Database::isOpen() const
{
    return m_connection->isOpen();
}

bool Database::isWriteAheadLog() const
{
    return m_connection->isWriteAheadLog();
}

QList<TableDef> Database::TableDefs() const
{
    m_connection->ensureOpen();
    return m_connection->tables();
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString &tableName,
                                                   const QString &indexName)
{
    m_connection->ensureOpen();
    for (const TableDef &table : m_connection->tables()) {
        if (table.name.compare(tableName, Qt::CaseInsensitive) == 0) {
            std::unique_ptr<Recordset> recordset(new Recordset(m_connection, table));
            if (!indexName.isEmpty())
                recordset->setIndex(indexName);
            return recordset;
        }
    }
    Internal::raise(EngineError::TableNotFound,
                    QStringLiteral("The table '%1' does not exist in the database '%2'.")
                        .arg(tableName, QDir::toNativeSeparators(path())));
}

void Database::setQuery(QSqlQueryModel &model, const QString &sql)
{
    m_connection->ensureOpen();
    model.setQuery(sql, m_connection->database());
    if (model.lastError().isValid()) {
        const QSqlError error = model.lastError();
        model.clear();
        Internal::raiseSqlError(error, path());
    }
    m_connection->trackModel(&model);
    // A query that is not read to its end holds a read lock on a file in
    // rollback-journal mode, and that would keep every writer out.
    if (!isWriteAheadLog()) {
        while (model.canFetchMore())
            model.fetchMore();
    }
}

void Database::Idle()
{
    if (m_connection->isOpen())
        m_connection->idle();
}

void Database::Close()
{
    m_connection->close();
}

void CreateDatabase(const QString &path, const QList<TableDef> &tables)
{
    Internal::createDatabaseFile(path, tables);
}

std::unique_ptr<Database> OpenDatabase(const QString &path, OpenMode mode, const TableDef *required)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (path.trimmed().isEmpty() || !info.exists())
        Internal::raise(EngineError::FileNotFound,
                        QStringLiteral("Could not find file '%1'.").arg(shown));
    if (info.isDir())
        Internal::raise(EngineError::CannotOpenFile,
                        QStringLiteral("'%1' is a folder, not a database file.").arg(shown));
    auto connection = std::make_shared<Internal::Connection>(info.absoluteFilePath(), mode);
    connection->open(required);
    return std::unique_ptr<Database>(new Database(std::move(connection)));
}

void Idle()
{
    const auto connections = Internal::Connection::openConnections();
    for (Internal::Connection *connection : connections)
        connection->idle();
}

QString verifyEngine()
{
    const QString name = QStringLiteral("telvora-engine-check");
    QString problem;
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
            return QStringLiteral("The SQLite driver of Qt SQL (package libqt6sql6-sqlite) is not "
                                  "installed.");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("CREATE TABLE t (a TEXT)")) ||
                !query.exec(QStringLiteral("INSERT INTO t VALUES ('x')")) ||
                !query.exec(QStringLiteral("SELECT a FROM t")) || !query.next() ||
                query.value(0).toString() != QStringLiteral("x")) {
                problem = query.lastError().isValid() ? query.lastError().text()
                                                      : QStringLiteral("The database engine "
                                                                       "returned wrong data.");
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

} // namespace Telvora::Data
