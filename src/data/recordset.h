// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dberror.h"
#include "data/dbschema.h"

#include <QString>
#include <QVariant>
#include <memory>

namespace Telvora::Data {

namespace Internal {
class Connection;
}

/// A table-type record set: one table of an open Database, walked through one
/// of its indexes (the current index). It has at most one current record, whose
/// values it holds in memory: between calls it keeps no statement open and no
/// read lock. Open it with Database::OpenRecordset().
///
/// Field values are QVariant: Text as QString, Long and Byte as int, Date/Time
/// as QDateTime in local time (whole seconds); Null as an invalid QVariant.
/// Every failure throws App::AppError with a number from EngineError.
class Recordset
{
public:
    /// The state of the edit buffer.
    enum class EditMode
    {
        None,
        Edit,
        AddNew
    };

    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    [[nodiscard]] const TableDef &tableDef() const;

    /// The name of the current index; empty when none was chosen.
    [[nodiscard]] QString index() const;
    /// Makes the named index of the table the current one. Throws
    /// EngineError::NotAnIndex for an unknown name.
    void setIndex(const QString &indexName);

    /// Positions on the first record, in the current index's order, whose key
    /// compares with the given key as asked: comparison is "=", ">=", ">" or, searching
    /// from the end of the index, "<=" or "<" (the last such record). Text keys
    /// compare case-blind. keys may be shorter than the index (leading fields only).
    /// When nothing matches, NoMatch() is true and there is no current record.
    /// A pending AddNew or Edit is discarded.
    void Seek(const QString &comparison, const QVariantList &keys);
    /// Seek on a single key value.
    void Seek(const QString &comparison, const QVariant &key);
    /// True when the last Seek found nothing.
    [[nodiscard]] bool NoMatch() const;
    /// True when there is a current record.
    [[nodiscard]] bool hasCurrentRecord() const;

    /// The value of the field of that name: in AddNew or Edit mode the value in
    /// the edit buffer, otherwise that of the current record
    /// (EngineError::NoCurrentRecord when there is none).
    [[nodiscard]] QVariant value(const QString &fieldName) const;

    /// Starts a new record; every field is Null until assigned.
    void AddNew();
    /// Starts changing the current record (EngineError::NoCurrentRecord when none).
    void Edit();
    /// Assigns a field in the edit buffer. Throws when not in AddNew or Edit
    /// mode (EngineError::UpdateWithoutEdit), for an auto-increment field
    /// (EngineError::FieldNotUpdatable), for a text longer than the field
    /// (EngineError::FieldTooSmall), for a number outside the field's range
    /// (App::ErrorNumber::Overflow) and for a value of the wrong kind
    /// (EngineError::ConversionError). Dates accept QDateTime, QDate and the
    /// text "yyyy-MM-dd[ HH:mm[:ss]]"; numbers accept integers, whole-number
    /// text, doubles (rounded) and bool (1 or 0).
    void setValue(const QString &fieldName, const QVariant &value);
    /// Saves the edit buffer: an added record gets its auto-increment number,
    /// a changed record has the assigned fields written. Afterwards
    /// LastModified() names the saved record; after Edit it is also the current
    /// one, after AddNew the current record is the one before AddNew. On failure
    /// nothing is written and the buffer is kept (EngineError::ZeroLengthString,
    /// EngineError::DuplicateKey, EngineError::NullInIndex, EngineError::RecordDeleted,
    /// EngineError::FileInUse when another writer holds the file too long).
    void Update();
    /// Discards the edit buffer.
    void CancelUpdate();
    [[nodiscard]] EditMode editMode() const;

    /// The bookmark of the current record (its row number in the file).
    [[nodiscard]] qint64 Bookmark() const;
    /// Makes the record with that bookmark current (EngineError::RecordDeleted
    /// when there is no such record).
    void setBookmark(qint64 bookmark);
    /// The bookmark of the record last saved by Update() on this record set
    /// (EngineError::NoCurrentRecord before the first).
    [[nodiscard]] qint64 LastModified() const;

    /// Closes the record set; it cannot be used afterwards.
    void Close();

    /// The engine's query plan for Seek with that comparison and number of keys
    /// on the current index, one step per line. For diagnostics.
    [[nodiscard]] QString seekQueryPlan(const QString &comparison, int keyCount);

private:
    friend class Database;
    Recordset(std::shared_ptr<Internal::Connection> connection, const TableDef &table);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Telvora::Data
