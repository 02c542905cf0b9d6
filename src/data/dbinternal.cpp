// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbinternal.h"

#include "data/dberror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QUrl>
#include <algorithm>
#include <atomic>

namespace Telvora::Data::Internal {

namespace {

const QString FieldsTable = QStringLiteral("telvora_fields");
const QString IndexesTable = QStringLiteral("telvora_indexes");
/// Written to PRAGMA user_version; a file with a higher number is from a newer program.
constexpr int FormatVersion = 1;
/// How long opening waits for a busy file before it reports it in use.
constexpr int OpenBusyTimeoutMs = 1000;
/// How long a statement of a shared connection waits for another writer.
constexpr int SharedBusyTimeoutMs = 4000;

// SQLite primary result codes (extended codes carry them in the low byte).
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteConstraint = 19;
constexpr int SqliteNotADatabase = 26;
constexpr int SqliteConstraintNotNull = 1299;
constexpr int SqliteConstraintPrimaryKey = 1555;
constexpr int SqliteConstraintUnique = 2067;

const QString DuplicateKeyText = QStringLiteral(
    "The changes you requested to the table were not successful because they would create "
    "duplicate values in the index, primary key, or relationship. Change the data in the field "
    "or fields that contain duplicate data, remove the index, or redefine the index to permit "
    "duplicate entries and try again.");

QString engineText(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.driverText().trimmed() : text;
}

QString declaredType(const Field &field)
{
    switch (field.type) {
    case FieldType::Byte:
        return QStringLiteral("TINYINT");
    case FieldType::Long:
        return QStringLiteral("INTEGER");
    case FieldType::DateTime:
        return QStringLiteral("DATETIME");
    case FieldType::Text:
        break;
    }
    return QStringLiteral("TEXT(%1)").arg(field.size);
}

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Byte:
        return QStringLiteral("Byte");
    case FieldType::Long:
        return QStringLiteral("Long");
    case FieldType::DateTime:
        return QStringLiteral("Date/Time");
    case FieldType::Text:
        break;
    }
    return QStringLiteral("Text");
}

int fixedSize(FieldType type)
{
    switch (type) {
    case FieldType::Byte:
        return 1;
    case FieldType::Long:
        return 4;
    case FieldType::DateTime:
        return 8;
    case FieldType::Text:
        break;
    }
    return 0;
}

QString sqlIndexName(const TableDef &table, const Index &index)
{
    // Index names are per file in SQLite and per table here.
    return table.name + QLatin1Char('.') + index.name;
}

bool inPrimaryIndex(const TableDef &table, const Field &field)
{
    return std::any_of(table.indexes.cbegin(), table.indexes.cend(), [&](const Index &index) {
        return index.primary && index.fields.contains(field.name, Qt::CaseInsensitive);
    });
}

// The rules below hold for every value, whoever writes it: this layer checks
// them first to give its own errors, the stock sqlite3 shell meets them here.
QString checkConstraint(const Field &field)
{
    const QString column = quoteName(field.name);
    switch (field.type) {
    case FieldType::Byte:
        return QStringLiteral("%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN 0 AND 255)")
            .arg(column);
    case FieldType::Long:
        return QStringLiteral("%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN -2147483648 "
                              "AND 2147483647)")
            .arg(column);
    case FieldType::DateTime:
        return QStringLiteral(
                   "%1 IS NULL OR (typeof(%1) = 'text' AND %1 GLOB "
                   "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "
                   "AND %1 >= '0100' AND datetime(julianday(%1)) IS %1)")
            .arg(column);
    case FieldType::Text:
        break;
    }
    return QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND length(%1) BETWEEN %2 AND %3)")
        .arg(column)
        .arg(field.allowZeroLength ? 0 : 1)
        .arg(field.size);
}

// The key of a text is its case-folded form. SQLite's lower() folds ASCII only,
// so for ASCII texts the key must equal lower(text) exactly; for other texts it
// must at least be present and free of ASCII capitals.
QString caseKeyConstraint(const Field &field)
{
    return QStringLiteral("%2 IS lower(%1) OR (coalesce(%1 GLOB '*[^ -~]*', 0) AND %2 IS NOT NULL "
                          "AND %2 IS lower(%2))")
        .arg(quoteName(field.name), quoteName(caseKeyColumn(field.name)));
}

QStringList createStatements(const TableDef &table)
{
    QStringList columns;
    for (const Field &field : table.fields) {
        QString column = quoteName(field.name) + QLatin1Char(' ') + declaredType(field);
        if (field.autoIncrement) {
            column += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        } else {
            if (inPrimaryIndex(table, field))
                column += QStringLiteral(" NOT NULL");
            column += QStringLiteral(" CHECK (%1)").arg(checkConstraint(field));
        }
        columns << column;
    }
    for (const Field &field : table.fields) {
        if (table.hasCaseKey(field.name)) {
            columns << QStringLiteral("%1 TEXT CHECK (%2)")
                           .arg(quoteName(caseKeyColumn(field.name)), caseKeyConstraint(field));
        }
    }
    QStringList statements{QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
                               .arg(quoteName(table.name), columns.join(QStringLiteral(",\n  ")))};
    for (const Index &index : table.indexes) {
        QStringList keys;
        for (const QString &name : index.fields)
            keys << quoteName(keyColumn(table, *table.field(name)));
        statements << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                          .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                               quoteName(sqlIndexName(table, index)), quoteName(table.name),
                               keys.join(QStringLiteral(", ")));
    }
    return statements;
}

[[noreturn]] void invalid(const QString &description)
{
    raise(EngineError::InvalidDefinition, description);
}

bool isValidName(const QString &name)
{
    if (name.isEmpty() || name.size() > 64 || name.front().isSpace() || name.back().isSpace())
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral(".!`[]\";").contains(c);
    });
}

void validateTable(const TableDef &table)
{
    if (!isValidName(table.name))
        invalid(QStringLiteral("'%1' is not a valid table name.").arg(table.name));
    if (table.name.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive) ||
        table.name.startsWith(QStringLiteral("telvora_"), Qt::CaseInsensitive)) {
        invalid(QStringLiteral("The table name '%1' is reserved.").arg(table.name));
    }
    if (table.fields.isEmpty())
        invalid(QStringLiteral("The table '%1' has no fields.").arg(table.name));

    int autoIncrements = 0;
    for (int i = 0; i < table.fields.size(); ++i) {
        const Field &field = table.fields.at(i);
        const QString where = QStringLiteral("'%1.%2'").arg(table.name, field.name);
        if (!isValidName(field.name))
            invalid(QStringLiteral("%1 is not a valid field name.").arg(where));
        if (field.name.endsWith(QStringLiteral("_nocase"), Qt::CaseInsensitive) ||
            QStringList{QStringLiteral("rowid"), QStringLiteral("oid"), QStringLiteral("_rowid_")}
                .contains(field.name, Qt::CaseInsensitive)) {
            invalid(QStringLiteral("The field name %1 is reserved.").arg(where));
        }
        if (table.fieldPosition(field.name) != i)
            invalid(QStringLiteral("The field %1 is defined twice.").arg(where));
        if (field.type == FieldType::Text) {
            if (field.size < 1 || field.size > 255)
                invalid(QStringLiteral("The text field %1 needs a size from 1 to 255.").arg(where));
        } else if (field.size != fixedSize(field.type)) {
            invalid(QStringLiteral("The field %1 must have the size %2.")
                        .arg(where)
                        .arg(fixedSize(field.type)));
        }
        if (field.allowZeroLength && field.type != FieldType::Text)
            invalid(QStringLiteral("Only text fields allow zero-length strings (%1).").arg(where));
        if (field.autoIncrement) {
            if (field.type != FieldType::Long)
                invalid(QStringLiteral("Only Long fields can count up (%1).").arg(where));
            ++autoIncrements;
        }
    }
    if (autoIncrements > 1)
        invalid(QStringLiteral("The table '%1' has more than one auto-increment field.")
                    .arg(table.name));

    int primaries = 0;
    for (int i = 0; i < table.indexes.size(); ++i) {
        const Index &index = table.indexes.at(i);
        const QString where = QStringLiteral("'%1.%2'").arg(table.name, index.name);
        if (!isValidName(index.name))
            invalid(QStringLiteral("%1 is not a valid index name.").arg(where));
        if (table.index(index.name) != &index)
            invalid(QStringLiteral("The index %1 is defined twice.").arg(where));
        if (index.fields.isEmpty())
            invalid(QStringLiteral("The index %1 has no fields.").arg(where));
        for (int k = 0; k < index.fields.size(); ++k) {
            if (!table.field(index.fields.at(k)))
                invalid(QStringLiteral("The index %1 names the unknown field '%2'.")
                            .arg(where, index.fields.at(k)));
            if (index.fields.indexOf(index.fields.at(k)) != k ||
                index.fields.count(index.fields.at(k)) > 1) {
                invalid(QStringLiteral("The index %1 names a field twice.").arg(where));
            }
        }
        if (index.primary) {
            if (!index.unique)
                invalid(QStringLiteral("The primary index %1 must be unique.").arg(where));
            ++primaries;
        }
    }
    if (primaries > 1)
        invalid(QStringLiteral("The table '%1' has more than one primary index.").arg(table.name));
}

void validateTables(const QList<TableDef> &tables)
{
    for (int i = 0; i < tables.size(); ++i) {
        validateTable(tables.at(i));
        for (int j = 0; j < i; ++j) {
            if (tables.at(j).name.compare(tables.at(i).name, Qt::CaseInsensitive) == 0)
                invalid(QStringLiteral("The table '%1' is defined twice.").arg(tables.at(i).name));
        }
    }
}

[[noreturn]] void damaged(const QString &path, const QString &what)
{
    raise(EngineError::DamagedDatabase, QStringLiteral("The database '%1' is damaged: %2.")
                                            .arg(QDir::toNativeSeparators(path), what));
}

QSqlQuery prepared(const QSqlDatabase &db, const QString &sql, const QString &path)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        raiseSqlError(query.lastError(), path);
    return query;
}

void run(QSqlQuery &query, const QString &path, const QVariantList &values = {})
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        raiseSqlError(query.lastError(), path);
}

// Reads the table definitions this layer stored in the file and checks that
// the tables, columns and indexes they describe are really there.
QList<TableDef> readTables(const QSqlDatabase &db, const QString &path)
{
    QList<TableDef> tables;
    auto tableNamed = [&tables](const QString &name) -> TableDef & {
        for (TableDef &table : tables) {
            if (table.name == name)
                return table;
        }
        tables.append(TableDef{name, {}, {}});
        return tables.last();
    };

    QSqlQuery fields = prepared(db,
                                QStringLiteral("SELECT table_name, field_name, type_code, size, "
                                               "auto_increment, allow_zero_length FROM %1 "
                                               "ORDER BY rowid")
                                    .arg(FieldsTable),
                                path);
    run(fields, path);
    while (fields.next()) {
        Field field;
        field.name = fields.value(1).toString();
        const int code = fields.value(2).toInt();
        if (code != int(FieldType::Byte) && code != int(FieldType::Long) &&
            code != int(FieldType::DateTime) && code != int(FieldType::Text)) {
            damaged(
                path,
                QStringLiteral("the field '%1' has the unknown type %2").arg(field.name).arg(code));
        }
        field.type = FieldType(code);
        field.size = fields.value(3).toInt();
        field.autoIncrement = fields.value(4).toInt() != 0;
        field.allowZeroLength = fields.value(5).toInt() != 0;
        tableNamed(fields.value(0).toString()).fields.append(field);
    }

    QSqlQuery indexes = prepared(db,
                                 QStringLiteral("SELECT table_name, index_name, fields, is_unique, "
                                                "is_primary FROM %1 ORDER BY rowid")
                                     .arg(IndexesTable),
                                 path);
    run(indexes, path);
    while (indexes.next()) {
        Index index;
        index.name = indexes.value(1).toString();
        index.fields = indexes.value(2).toString().split(QLatin1Char(';'));
        index.unique = indexes.value(3).toInt() != 0;
        index.primary = indexes.value(4).toInt() != 0;
        const QString tableName = indexes.value(0).toString();
        if (std::none_of(tables.cbegin(), tables.cend(),
                         [&](const TableDef &t) { return t.name == tableName; })) {
            damaged(path,
                    QStringLiteral("the index '%1' belongs to no known table").arg(index.name));
        }
        tableNamed(tableName).indexes.append(index);
    }

    QSqlQuery columns =
        prepared(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), path);
    QSqlQuery indexList = prepared(
        db, QStringLiteral("SELECT \"unique\" FROM pragma_index_list(?) WHERE name = ?"), path);
    QSqlQuery indexColumns =
        prepared(db, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"), path);
    for (const TableDef &table : std::as_const(tables)) {
        try {
            validateTable(table);
        } catch (const App::AppError &error) {
            damaged(path, error.description());
        }
        QHash<QString, QPair<QString, bool>> actual; // column name -> declared type, primary key
        run(columns, path, {table.name});
        while (columns.next()) {
            actual.insert(columns.value(0).toString().toLower(),
                          {columns.value(1).toString(), columns.value(2).toInt() != 0});
        }
        columns.finish();
        if (actual.isEmpty())
            damaged(path, QStringLiteral("the table '%1' is missing").arg(table.name));
        auto expectColumn = [&](const QString &name, const QString &type, bool primaryKey) {
            const auto found = actual.constFind(name.toLower());
            if (found == actual.cend()) {
                damaged(path,
                        QStringLiteral("the table '%1' has no column '%2'").arg(table.name, name));
            }
            if (found->first.compare(type, Qt::CaseInsensitive) != 0 ||
                found->second != primaryKey) {
                damaged(path, QStringLiteral("the column '%1.%2' is not of the type %3")
                                  .arg(table.name, name, type));
            }
        };
        for (const Field &field : table.fields) {
            expectColumn(field.name, declaredType(field), field.autoIncrement);
            if (table.hasCaseKey(field.name))
                expectColumn(caseKeyColumn(field.name), QStringLiteral("TEXT"), false);
        }
        for (const Index &index : table.indexes) {
            const QString sqlName = sqlIndexName(table, index);
            run(indexList, path, {table.name, sqlName});
            const bool exists = indexList.next();
            const bool unique = exists && indexList.value(0).toInt() != 0;
            indexList.finish();
            QStringList expectedKeys;
            for (const QString &name : index.fields)
                expectedKeys << keyColumn(table, *table.field(name)).toLower();
            QStringList keys;
            run(indexColumns, path, {sqlName});
            while (indexColumns.next())
                keys << indexColumns.value(0).toString().toLower();
            indexColumns.finish();
            if (!exists || unique != index.unique || keys != expectedKeys) {
                damaged(path,
                        QStringLiteral("the index '%1' of the table '%2' is missing or changed")
                            .arg(index.name, table.name));
            }
        }
    }
    return tables;
}

void writeTableDescriptions(const QSqlDatabase &db, const QString &path,
                            const QList<TableDef> &tables)
{
    QSqlQuery field = prepared(
        db,
        QStringLiteral("INSERT INTO %1 (table_name, position, field_name, type_code, type_name, "
                       "size, auto_increment, allow_zero_length, key_column) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(FieldsTable),
        path);
    QSqlQuery index = prepared(
        db,
        QStringLiteral("INSERT INTO %1 (table_name, position, index_name, sql_name, fields, "
                       "is_unique, is_primary) VALUES (?, ?, ?, ?, ?, ?, ?)")
            .arg(IndexesTable),
        path);
    for (const TableDef &table : tables) {
        for (int i = 0; i < table.fields.size(); ++i) {
            const Field &f = table.fields.at(i);
            const QVariant keyColumnName = table.hasCaseKey(f.name)
                                               ? QVariant(caseKeyColumn(f.name))
                                               : QVariant(QMetaType(QMetaType::QString));
            run(field, path,
                {table.name, i + 1, f.name, int(f.type), typeName(f.type), f.size,
                 f.autoIncrement ? 1 : 0, f.allowZeroLength ? 1 : 0, keyColumnName});
        }
        for (int i = 0; i < table.indexes.size(); ++i) {
            const Index &x = table.indexes.at(i);
            QStringList names; // as the fields spell them
            for (const QString &name : x.fields)
                names << table.field(name)->name;
            run(index, path,
                {table.name, i + 1, x.name, sqlIndexName(table, x), names.join(QLatin1Char(';')),
                 x.unique ? 1 : 0, x.primary ? 1 : 0});
        }
    }
}

QString uniqueConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("telvora-data-%1").arg(++counter);
}

} // namespace

void raise(long number, const QString &description)
{
    throw App::AppError(number, description, QStringLiteral("Telvora.Data"));
}

void raiseSqlError(const QSqlError &error, const QString &path)
{
    const int code = error.nativeErrorCode().toInt();
    const QString file = QDir::toNativeSeparators(path);
    const QString text = engineText(error);
    switch (code & 0xff) {
    case SqliteBusy:
    case SqliteLocked:
        raise(EngineError::FileInUse,
              QStringLiteral("Could not use '%1'; file already in use (%2).").arg(file, text));
    case SqliteNotADatabase:
        raise(EngineError::UnrecognizedFormat,
              QStringLiteral("Unrecognized database format '%1' (%2).").arg(file, text));
    case SqliteReadOnly:
        raise(EngineError::ReadOnly,
              QStringLiteral("Cannot update. Database '%1' or its folder is read-only (%2).")
                  .arg(file, text));
    case SqliteCantOpen:
        raise(EngineError::CannotOpenFile,
              QStringLiteral("Cannot open the file '%1' (%2).").arg(file, text));
    case SqliteConstraint:
        if (code == SqliteConstraintUnique || code == SqliteConstraintPrimaryKey)
            raise(EngineError::DuplicateKey, DuplicateKeyText);
        if (code == SqliteConstraintNotNull)
            raise(EngineError::NullInIndex,
                  QStringLiteral("Index or primary key cannot contain a Null value."));
        break;
    default:
        break;
    }
    raise(App::ErrorNumber::DatabaseFailure,
          text.isEmpty() ? QStringLiteral("Unknown database error in '%1'.").arg(file) : text);
}

QString quoteName(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString keyColumn(const TableDef &table, const Field &field)
{
    return table.hasCaseKey(field.name) ? caseKeyColumn(field.name) : field.name;
}

Connection::Connection(const QString &absolutePath, OpenMode mode)
    : m_path(absolutePath)
    , m_mode(mode)
    , m_name(uniqueConnectionName())
{}

Connection::~Connection()
{
    close();
}

std::vector<Connection *> &Connection::openConnections()
{
    static std::vector<Connection *> connections;
    return connections;
}

void Connection::connect()
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_open = true;
    openConnections().push_back(this);
    if (!m_db.isValid())
        raise(App::ErrorNumber::DatabaseFailure,
              QStringLiteral("The SQLite driver of Qt SQL is not available."));
    // A URI with mode=rw opens existing files only: SQLite never creates one here.
    m_db.setDatabaseName(QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) +
                         QStringLiteral("?mode=rw"));
    m_db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(OpenBusyTimeoutMs));
    if (!m_db.open())
        raiseSqlError(m_db.lastError(), m_path);
}

void Connection::open(const TableDef *required)
{
    connect();
    if (m_mode == OpenMode::Exclusive)
        execute(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));

    // The first read: a file that is not a database, or one held by another
    // opener, fails here, before anything could be written to it.
    QSqlQuery probe = execute(QStringLiteral("SELECT (SELECT count(*) FROM sqlite_master WHERE "
                                             "type = 'table' AND name IN ('%1', '%2')),"
                                             " (SELECT user_version FROM pragma_user_version)")
                                  .arg(FieldsTable, IndexesTable));
    probe.next();
    const bool described = probe.value(0).toInt() == 2;
    const int version = probe.value(1).toInt();
    probe.finish();
    if (!described)
        raise(EngineError::UnrecognizedFormat,
              QStringLiteral("Unrecognized database format '%1' (the file holds no tables of "
                             "this program).")
                  .arg(QDir::toNativeSeparators(m_path)));
    if (version > FormatVersion)
        raise(EngineError::UnrecognizedFormat,
              QStringLiteral("Unrecognized database format '%1' (made by a newer version of "
                             "this program).")
                  .arg(QDir::toNativeSeparators(m_path)));

    // Read everything before anything is changed, so that a damaged file stays as it is.
    m_tables = readTables(m_db, m_path);
    if (required)
        requireTable(*required);

    if (m_mode == OpenMode::Exclusive) {
        // In exclusive locking mode the lock taken here is kept until close.
        execute(QStringLiteral("BEGIN EXCLUSIVE"));
    } else {
        QSqlQuery journal(m_db);
        if (journal.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && journal.next()) {
            m_writeAheadLog = journal.value(0).toString().compare(QStringLiteral("wal"),
                                                                  Qt::CaseInsensitive) == 0;
        } else {
            const int code = journal.lastError().nativeErrorCode().toInt() & 0xff;
            if (code == SqliteBusy || code == SqliteLocked)
                raiseSqlError(journal.lastError(), m_path);
            // Otherwise the file system has no room for the log: keep the rollback journal.
        }
        journal.finish();
        execute(QStringLiteral("BEGIN IMMEDIATE"));
    }
    probeWritable();
    execute(QStringLiteral("ROLLBACK"));
    execute(QStringLiteral("PRAGMA busy_timeout = %1")
                .arg(m_mode == OpenMode::Shared ? SharedBusyTimeoutMs : OpenBusyTimeoutMs));
}

void Connection::requireTable(const TableDef &required) const
{
    const auto found = std::find_if(m_tables.cbegin(), m_tables.cend(), [&](const TableDef &table) {
        return table.name.compare(required.name, Qt::CaseInsensitive) == 0;
    });
    if (found == m_tables.cend())
        raise(EngineError::UnrecognizedFormat,
              QStringLiteral("The database '%1' has no table '%2'.")
                  .arg(QDir::toNativeSeparators(m_path), required.name));
    if (*found != required)
        raise(EngineError::UnrecognizedFormat,
              QStringLiteral("The table '%2' in the database '%1' has other fields or indexes "
                             "than this program uses.")
                  .arg(QDir::toNativeSeparators(m_path), required.name));
}

// Inside the open write transaction: a change to the header, rolled back at once,
// fails on a read-only file or folder.
void Connection::probeWritable()
{
    QSqlQuery version = execute(QStringLiteral("PRAGMA user_version"));
    version.next();
    const int value = version.value(0).toInt();
    version.finish();
    execute(QStringLiteral("PRAGMA user_version = %1").arg(value));
}

void Connection::createTables(const QList<TableDef> &tables)
{
    connect();
    execute(QStringLiteral("BEGIN EXCLUSIVE"));
    execute(QStringLiteral("CREATE TABLE %1 (\n  table_name TEXT NOT NULL,\n  position INTEGER NOT "
                           "NULL,\n  field_name TEXT NOT NULL,\n  type_code INTEGER NOT NULL,\n  "
                           "type_name TEXT NOT NULL,\n  size INTEGER NOT NULL,\n  auto_increment "
                           "INTEGER NOT NULL,\n  allow_zero_length INTEGER NOT NULL,\n  key_column "
                           "TEXT,\n  PRIMARY KEY (table_name, position)\n)")
                .arg(FieldsTable));
    execute(
        QStringLiteral("CREATE TABLE %1 (\n  table_name TEXT NOT NULL,\n  position INTEGER NOT "
                       "NULL,\n  index_name TEXT NOT NULL,\n  sql_name TEXT NOT NULL,\n  fields "
                       "TEXT NOT NULL,\n  is_unique INTEGER NOT NULL,\n  is_primary INTEGER NOT "
                       "NULL,\n  PRIMARY KEY (table_name, position)\n)")
            .arg(IndexesTable));
    for (const TableDef &table : tables) {
        for (const QString &statement : createStatements(table))
            execute(statement);
    }
    writeTableDescriptions(m_db, m_path, tables);
    execute(QStringLiteral("PRAGMA user_version = %1").arg(FormatVersion));
    execute(QStringLiteral("COMMIT"));
    m_tables = tables;
}

void Connection::close()
{
    if (!m_open)
        return;
    m_open = false;
    auto &connections = openConnections();
    connections.erase(std::remove(connections.begin(), connections.end(), this), connections.end());
    // Every statement on the connection has to go before the connection itself.
    const auto holders = m_holders;
    for (StatementHolder *holder : holders)
        holder->releaseStatements();
    // A model's query keeps the connection's driver; clear() would leave it
    // there, and any later use of the model would reach the removed driver.
    for (const QPointer<QSqlQueryModel> &model : std::as_const(m_models)) {
        if (model)
            model->setQuery(QSqlQuery());
    }
    m_models.clear();
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlQuery Connection::execute(const QString &sql)
{
    ensureOpen();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        raiseSqlError(query.lastError(), m_path);
    return query;
}

void Connection::ensureOpen() const
{
    if (!m_open)
        raise(EngineError::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void Connection::attach(StatementHolder *holder)
{
    m_holders.push_back(holder);
}

void Connection::detach(StatementHolder *holder)
{
    m_holders.erase(std::remove(m_holders.begin(), m_holders.end(), holder), m_holders.end());
}

void Connection::trackModel(QSqlQueryModel *model)
{
    for (Connection *connection : openConnections())
        connection->m_models.removeAll(QPointer<QSqlQueryModel>(model));
    m_models.removeAll(QPointer<QSqlQueryModel>());
    m_models.append(model);
}

void Connection::idle()
{
    for (StatementHolder *holder : m_holders)
        holder->finishStatements();
}

void createDatabaseFile(const QString &path, const QList<TableDef> &tables)
{
    validateTables(tables);
    if (path.trimmed().isEmpty())
        raise(EngineError::CannotOpenFile,
              QStringLiteral("No file name was given for the database."));
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    const QString shown = QDir::toNativeSeparators(absolutePath);
    const auto exists = [&] {
        return QFileInfo(absolutePath).exists() || QFileInfo(absolutePath).isSymLink();
    };
    if (exists())
        raise(EngineError::DatabaseExists,
              QStringLiteral("Database '%1' already exists.").arg(shown));
    {
        // NewOnly creates the file or fails: an existing file is never overwritten.
        QFile file(absolutePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (exists())
                raise(EngineError::DatabaseExists,
                      QStringLiteral("Database '%1' already exists.").arg(shown));
            raise(
                EngineError::CannotOpenFile,
                QStringLiteral("Cannot create the file '%1' (%2).").arg(shown, file.errorString()));
        }
    }
    try {
        Connection connection(absolutePath, OpenMode::Exclusive);
        connection.createTables(tables);
        connection.close();
    } catch (...) {
        // The file is ours and half made: take it away again, with its journal.
        QFile::remove(absolutePath + QStringLiteral("-journal"));
        QFile::remove(absolutePath);
        throw;
    }
}

} // namespace Telvora::Data::Internal
