// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/recordset.h"

#include "data/dbinternal.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace Telvora::Data {

using Internal::quoteName;
using Internal::raise;

namespace {

enum class Comparison
{
    Equal,
    GreaterOrEqual,
    Greater,
    LessOrEqual,
    Less
};

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString TimeFormat = QStringLiteral("HH:mm:ss");

Comparison parseComparison(const QString &text)
{
    const QString op = text.trimmed();
    if (op == QLatin1String("="))
        return Comparison::Equal;
    if (op == QLatin1String(">="))
        return Comparison::GreaterOrEqual;
    if (op == QLatin1String(">"))
        return Comparison::Greater;
    if (op == QLatin1String("<="))
        return Comparison::LessOrEqual;
    if (op == QLatin1String("<"))
        return Comparison::Less;
    raise(App::ErrorNumber::DatabaseFailure,
          QStringLiteral("'%1' is not a comparison Seek knows (=, >=, >, <=, <).").arg(text));
}

QString sqlOperator(Comparison comparison)
{
    switch (comparison) {
    case Comparison::Equal:
        break;
    case Comparison::GreaterOrEqual:
        return QStringLiteral(">=");
    case Comparison::Greater:
        return QStringLiteral(">");
    case Comparison::LessOrEqual:
        return QStringLiteral("<=");
    case Comparison::Less:
        return QStringLiteral("<");
    }
    return QStringLiteral("=");
}

[[noreturn]] void conversionError()
{
    raise(EngineError::ConversionError, QStringLiteral("Data type conversion error."));
}

[[noreturn]] void overflow()
{
    raise(App::ErrorNumber::Overflow, QStringLiteral("Overflow"));
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

qint64 fromDouble(double value)
{
    if (!std::isfinite(value))
        conversionError();
    const double rounded = std::nearbyint(value); // halves to even
    if (rounded < -9.0e18 || rounded > 9.0e18)
        overflow();
    return static_cast<qint64>(rounded);
}

qint64 toInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return value.toLongLong();
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            overflow();
        return value.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const qint64 whole = text.toLongLong(&ok);
        if (ok)
            return whole;
        const double number = text.toDouble(&ok);
        if (ok)
            return fromDouble(number);
        conversionError();
    }
    default:
        conversionError();
    }
}

QString toDateText(const QVariant &value)
{
    QDate date;
    QTime time(0, 0);
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime local = value.toDateTime().toLocalTime();
        date = local.date();
        time = local.time();
        break;
    }
    case QMetaType::QDate:
        date = value.toDate();
        break;
    case QMetaType::QString: {
        // Date and time are taken apart so that a local time the clock skips
        // (summer time) is stored as written.
        const QString text = value.toString().trimmed();
        const QStringList parts = text.split(
            QLatin1Char(text.contains(QLatin1Char('T')) ? 'T' : ' '), Qt::SkipEmptyParts);
        if (parts.isEmpty() || parts.size() > 2)
            conversionError();
        date = QDate::fromString(parts.at(0), DateFormat);
        if (parts.size() == 2) {
            time = QTime::fromString(parts.at(1), TimeFormat);
            if (!time.isValid())
                time = QTime::fromString(parts.at(1), QStringLiteral("HH:mm"));
        }
        break;
    }
    default:
        conversionError();
    }
    if (!date.isValid() || !time.isValid())
        conversionError();
    if (date.year() < 100 || date.year() > 9999)
        overflow();
    return date.toString(DateFormat) + QLatin1Char(' ') +
           QTime(time.hour(), time.minute(), time.second()).toString(TimeFormat);
}

// The value as the file stores it: QString for Text and Date/Time, qint64 for
// the numbers, a null QVariant for Null.
QVariant toStorage(const Field &field, const QVariant &value, bool checkSize)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Text: {
        if (!value.canConvert<QString>())
            conversionError();
        const QString text = value.toString();
        if (checkSize && characterCount(text) > field.size) {
            raise(EngineError::FieldTooSmall,
                  QStringLiteral("The field is too small to accept the amount of data you "
                                 "attempted to add. Try inserting or pasting less data."));
        }
        return text;
    }
    case FieldType::Long: {
        const qint64 number = toInteger(value);
        if (number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max()) {
            overflow();
        }
        return number;
    }
    case FieldType::Byte: {
        const qint64 number = toInteger(value);
        if (number < 0 || number > 255)
            overflow();
        return number;
    }
    case FieldType::DateTime:
        break;
    }
    return toDateText(value);
}

QVariant fromStorage(const Field &field, const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return {};
    switch (field.type) {
    case FieldType::Text:
        return stored.toString();
    case FieldType::Long:
    case FieldType::Byte:
        return int(stored.toLongLong());
    case FieldType::DateTime:
        break;
    }
    const QString text = stored.toString();
    const QDate date = QDate::fromString(text.left(10), DateFormat);
    const QTime time = QTime::fromString(text.mid(11), TimeFormat);
    if (!date.isValid() || !time.isValid())
        return text;
    return QDateTime(date, time);
}

} // namespace

struct Recordset::Private final : Internal::StatementHolder
{
    std::shared_ptr<Internal::Connection> connection;
    TableDef table;
    int indexPosition = -1;
    bool closed = false;
    bool noMatch = false;
    bool hasCurrent = false;
    qint64 currentRow = 0;
    QVariantList current; // stored values, one per field
    EditMode mode = EditMode::None;
    std::map<int, QVariant> changes; // field position -> stored value
    std::optional<qint64> lastModified;
    QHash<QString, QSqlQuery> statements;

    void finishStatements() override
    {
        for (QSqlQuery &statement : statements)
            statement.finish();
    }
    void releaseStatements() override { statements.clear(); }

    void ensureUsable() const
    {
        if (closed)
            raise(EngineError::ObjectClosed, QStringLiteral("Object invalid or no longer set."));
        connection->ensureOpen();
    }

    int fieldPosition(const QString &name) const
    {
        const int position = table.fieldPosition(name);
        if (position < 0)
            raise(EngineError::ItemNotFound, QStringLiteral("Item not found in this collection."));
        return position;
    }

    const Index &currentIndex() const
    {
        if (indexPosition < 0)
            raise(EngineError::NoCurrentIndex,
                  QStringLiteral("Operation invalid without a current index."));
        return table.indexes.at(indexPosition);
    }

    QString selectList() const
    {
        QStringList columns{QStringLiteral("rowid")};
        for (const Field &field : table.fields)
            columns << quoteName(field.name);
        return columns.join(QStringLiteral(", "));
    }

    QSqlQuery &statement(const QString &sql)
    {
        auto found = statements.find(sql);
        if (found == statements.end()) {
            QSqlQuery query(connection->database());
            query.setForwardOnly(true);
            if (!query.prepare(sql))
                Internal::raiseSqlError(query.lastError(), connection->path());
            found = statements.insert(sql, query);
        }
        return *found;
    }

    void execute(QSqlQuery &query, const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec()) {
            const QSqlError error = query.lastError();
            query.finish();
            Internal::raiseSqlError(error, connection->path());
        }
    }

    // Runs a query for at most one row and makes it the current record. The
    // statement is reset afterwards, so no read lock outlives the call.
    bool loadRecord(const QString &sql, const QVariantList &values)
    {
        QSqlQuery &query = statement(sql);
        execute(query, values);
        hasCurrent = query.next();
        if (hasCurrent) {
            currentRow = query.value(0).toLongLong();
            current.clear();
            for (int i = 0; i < table.fields.size(); ++i)
                current << query.value(i + 1);
        } else if (query.lastError().isValid()) {
            const QSqlError error = query.lastError();
            query.finish();
            Internal::raiseSqlError(error, connection->path());
        }
        query.finish();
        return hasCurrent;
    }

    bool loadRow(qint64 row)
    {
        return loadRecord(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                              .arg(selectList(), quoteName(table.name)),
                          {row});
    }

    QString seekSql(Comparison comparison, const QList<bool> &nullKeys) const
    {
        const Index &index = currentIndex();
        const bool backward =
            comparison == Comparison::LessOrEqual || comparison == Comparison::Less;
        QStringList keyColumns;
        for (const QString &name : index.fields)
            keyColumns << quoteName(Internal::keyColumn(table, *table.field(name)));
        const qsizetype count = nullKeys.size();
        QString condition;
        if (comparison == Comparison::Equal) {
            QStringList terms;
            for (qsizetype i = 0; i < count; ++i)
                terms << keyColumns.at(i) +
                             (nullKeys.at(i) ? QStringLiteral(" IS ?") : QStringLiteral(" = ?"));
            condition = terms.join(QStringLiteral(" AND "));
        } else if (count == 1) {
            condition = keyColumns.first() + QLatin1Char(' ') + sqlOperator(comparison) +
                        QStringLiteral(" ?");
        } else {
            QStringList marks(count, QStringLiteral("?"));
            condition = QStringLiteral("(%1) %2 (%3)")
                            .arg(keyColumns.mid(0, count).join(QStringLiteral(", ")),
                                 sqlOperator(comparison), marks.join(QStringLiteral(", ")));
        }
        // The index holds the row number after its keys, so this order is the
        // index's own and needs no sorting.
        QStringList order = keyColumns;
        order << QStringLiteral("rowid");
        const QString direction = backward ? QStringLiteral(" DESC") : QString();
        for (QString &term : order)
            term += direction;
        return QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT 1")
            .arg(selectList(), quoteName(table.name), condition, order.join(QStringLiteral(", ")));
    }

    QVariantList seekKeys(const QList<QVariant> &keys) const
    {
        const Index &index = currentIndex();
        if (keys.isEmpty() || keys.size() > index.fields.size()) {
            raise(App::ErrorNumber::DatabaseFailure,
                  QStringLiteral("Seek on the index '%1' takes from 1 to %2 key values.")
                      .arg(index.name)
                      .arg(index.fields.size()));
        }
        QVariantList values;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const Field &field = *table.field(index.fields.at(i));
            QVariant value = toStorage(field, keys.at(i), false);
            if (field.type == FieldType::Text && !value.isNull())
                value = foldCase(value.toString());
            values << value;
        }
        return values;
    }

    void checkBeforeSave() const
    {
        for (int i = 0; i < table.fields.size(); ++i) {
            const Field &field = table.fields.at(i);
            const auto change = changes.find(i);
            const bool assigned = change != changes.end();
            if (field.type == FieldType::Text && !field.allowZeroLength && assigned &&
                !change->second.isNull() && change->second.toString().isEmpty()) {
                raise(EngineError::ZeroLengthString,
                      QStringLiteral("Field '%1.%2' cannot be a zero-length string.")
                          .arg(table.name, field.name));
            }
            const bool becomesNull = assigned ? change->second.isNull()
                                              : mode == EditMode::AddNew && !field.autoIncrement;
            const bool inPrimary =
                std::any_of(table.indexes.cbegin(), table.indexes.cend(), [&](const Index &index) {
                    return index.primary && index.fields.contains(field.name, Qt::CaseInsensitive);
                });
            if (inPrimary && becomesNull)
                raise(EngineError::NullInIndex,
                      QStringLiteral("Index or primary key cannot contain a Null value."));
        }
    }

    // The assigned columns with their values, each text of an indexed field
    // followed by its case-folded key.
    void assignedColumns(QStringList &columns, QVariantList &values) const
    {
        for (const auto &[position, value] : changes) {
            const Field &field = table.fields.at(position);
            columns << quoteName(field.name);
            values << value;
            if (table.hasCaseKey(field.name)) {
                columns << quoteName(caseKeyColumn(field.name));
                values << (value.isNull() ? QVariant() : QVariant(foldCase(value.toString())));
            }
        }
    }

    qint64 insert()
    {
        QStringList columns;
        QVariantList values;
        assignedColumns(columns, values);
        const QString sql =
            columns.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table.name))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteName(table.name), columns.join(QStringLiteral(", ")),
                           QStringList(columns.size(), QStringLiteral("?"))
                               .join(QStringLiteral(", ")));
        QSqlQuery &query = statement(sql);
        execute(query, values);
        const qint64 row = query.lastInsertId().toLongLong();
        query.finish();
        return row;
    }

    void change()
    {
        if (changes.empty())
            return;
        QStringList columns;
        QVariantList values;
        assignedColumns(columns, values);
        for (QString &column : columns)
            column += QStringLiteral(" = ?");
        values << currentRow;
        QSqlQuery &query =
            statement(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(quoteName(table.name), columns.join(QStringLiteral(", "))));
        execute(query, values);
        const int affected = query.numRowsAffected();
        query.finish();
        if (affected == 0)
            raise(EngineError::RecordDeleted, QStringLiteral("Record is deleted."));
    }

    void discardEdit()
    {
        mode = EditMode::None;
        changes.clear();
    }
};

Recordset::Recordset(std::shared_ptr<Internal::Connection> connection, const TableDef &table)
    : d(std::make_unique<Private>())
{
    d->connection = std::move(connection);
    d->table = table;
    d->connection->attach(d.get());
}

Recordset::~Recordset()
{
    d->releaseStatements();
    d->connection->detach(d.get());
}

const TableDef &Recordset::tableDef() const
{
    return d->table;
}

QString Recordset::index() const
{
    return d->indexPosition < 0 ? QString() : d->table.indexes.at(d->indexPosition).name;
}

void Recordset::setIndex(const QString &indexName)
{
    d->ensureUsable();
    for (int i = 0; i < d->table.indexes.size(); ++i) {
        if (d->table.indexes.at(i).name.compare(indexName, Qt::CaseInsensitive) == 0) {
            d->indexPosition = i;
            return;
        }
    }
    raise(EngineError::NotAnIndex,
          QStringLiteral("'%1' isn't an index in this table.").arg(indexName));
}

void Recordset::Seek(const QString &comparison, const QVariantList &keys)
{
    d->ensureUsable();
    const Comparison op = parseComparison(comparison);
    const QVariantList values = d->seekKeys(keys);
    QList<bool> nullKeys;
    for (const QVariant &value : values)
        nullKeys << value.isNull();
    d->discardEdit();
    d->hasCurrent = false;
    d->noMatch = !d->loadRecord(d->seekSql(op, nullKeys), values);
}

void Recordset::Seek(const QString &comparison, const QVariant &key)
{
    Seek(comparison, QVariantList{key});
}

bool Recordset::NoMatch() const
{
    return d->noMatch;
}

bool Recordset::hasCurrentRecord() const
{
    return d->hasCurrent;
}

QVariant Recordset::value(const QString &fieldName) const
{
    d->ensureUsable();
    const int position = d->fieldPosition(fieldName);
    const Field &field = d->table.fields.at(position);
    const auto change = d->changes.find(position);
    if (change != d->changes.end())
        return fromStorage(field, change->second);
    if (d->mode == EditMode::AddNew)
        return {};
    if (!d->hasCurrent)
        raise(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    return fromStorage(field, d->current.at(position));
}

void Recordset::AddNew()
{
    d->ensureUsable();
    d->discardEdit();
    d->mode = EditMode::AddNew;
}

void Recordset::Edit()
{
    d->ensureUsable();
    if (!d->hasCurrent)
        raise(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    d->discardEdit();
    d->mode = EditMode::Edit;
}

void Recordset::setValue(const QString &fieldName, const QVariant &value)
{
    d->ensureUsable();
    if (d->mode == EditMode::None)
        raise(EngineError::UpdateWithoutEdit,
              QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int position = d->fieldPosition(fieldName);
    const Field &field = d->table.fields.at(position);
    if (field.autoIncrement)
        raise(EngineError::FieldNotUpdatable, QStringLiteral("Field cannot be updated."));
    d->changes[position] = toStorage(field, value, true);
}

void Recordset::Update()
{
    d->ensureUsable();
    if (d->mode == EditMode::None)
        raise(EngineError::UpdateWithoutEdit,
              QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    d->checkBeforeSave();
    if (d->mode == EditMode::AddNew) {
        d->lastModified = d->insert();
    } else {
        d->change();
        d->lastModified = d->currentRow;
        if (!d->loadRow(d->currentRow))
            raise(EngineError::RecordDeleted, QStringLiteral("Record is deleted."));
    }
    d->discardEdit();
}

void Recordset::CancelUpdate()
{
    d->ensureUsable();
    if (d->mode == EditMode::None)
        raise(EngineError::UpdateWithoutEdit,
              QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    d->discardEdit();
}

Recordset::EditMode Recordset::editMode() const
{
    return d->mode;
}

qint64 Recordset::Bookmark() const
{
    d->ensureUsable();
    if (!d->hasCurrent)
        raise(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    return d->currentRow;
}

void Recordset::setBookmark(qint64 bookmark)
{
    d->ensureUsable();
    d->discardEdit();
    if (!d->loadRow(bookmark))
        raise(EngineError::RecordDeleted, QStringLiteral("Record is deleted."));
}

qint64 Recordset::LastModified() const
{
    d->ensureUsable();
    if (!d->lastModified)
        raise(EngineError::NoCurrentRecord, QStringLiteral("No current record."));
    return *d->lastModified;
}

void Recordset::Close()
{
    d->releaseStatements();
    d->connection->detach(d.get());
    d->closed = true;
    d->hasCurrent = false;
    d->discardEdit();
}

QString Recordset::seekQueryPlan(const QString &comparison, int keyCount)
{
    d->ensureUsable();
    const Comparison op = parseComparison(comparison);
    if (keyCount < 1 || keyCount > d->currentIndex().fields.size())
        d->seekKeys({}); // reports the number of keys the index takes
    QSqlQuery query(d->connection->database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") +
                       d->seekSql(op, QList<bool>(keyCount, false)))) {
        Internal::raiseSqlError(query.lastError(), d->connection->path());
    }
    for (int i = 0; i < keyCount; ++i)
        query.bindValue(i, 0);
    if (!query.exec())
        Internal::raiseSqlError(query.lastError(), d->connection->path());
    QStringList steps;
    while (query.next())
        steps << query.value(3).toString();
    return steps.join(QLatin1Char('\n'));
}

} // namespace Telvora::Data
