// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Telvora::Data {

/// The field types a table can hold, numbered with the engine's type codes.
enum class FieldType
{
    Byte = 2,
    Long = 4,
    DateTime = 8,
    Text = 10
};

/// One field of a table definition. Build it with the named constructors; a
/// definition read back from a file compares equal to the one it was created from.
struct Field
{
    QString name;
    FieldType type = FieldType::Text;
    /// Text: the most characters a value may hold (1 to 255). Other types: their
    /// fixed size in bytes (Byte 1, Long 4, Date/Time 8).
    int size = 0;
    /// Long only: the engine numbers new records 1, 2, 3, ... and never reuses a
    /// number; the field cannot be assigned. At most one per table.
    bool autoIncrement = false;
    /// Text only: the empty string may be stored. Null is always allowed.
    bool allowZeroLength = false;

    [[nodiscard]] static Field text(const QString &name, int size, bool allowZeroLength);
    [[nodiscard]] static Field longInteger(const QString &name, bool autoIncrement = false);
    [[nodiscard]] static Field dateTime(const QString &name);
    [[nodiscard]] static Field byte(const QString &name);

    friend bool operator==(const Field &, const Field &) = default;
};

/// A named index over one or more fields of a table, in ascending order. Text
/// fields are indexed case-blind. A primary index must be unique; its fields
/// cannot hold Null.
struct Index
{
    QString name;
    QStringList fields;
    bool unique = false;
    bool primary = false;

    friend bool operator==(const Index &, const Index &) = default;
};

/// A table: its fields in creation order and its indexes.
struct TableDef
{
    QString name;
    QList<Field> fields;
    QList<Index> indexes;

    /// The field of that name (names compare case-blind), or nullptr.
    [[nodiscard]] const Field *field(const QString &fieldName) const;
    /// The position of the field of that name in fields, or -1.
    [[nodiscard]] int fieldPosition(const QString &fieldName) const;
    /// The index of that name (names compare case-blind), or nullptr.
    [[nodiscard]] const Index *index(const QString &indexName) const;
    /// True when the text field of that name is part of some index and therefore
    /// has a case-folded key column beside it (see caseKeyColumn()).
    [[nodiscard]] bool hasCaseKey(const QString &fieldName) const;

    friend bool operator==(const TableDef &, const TableDef &) = default;
};

/// The form under which text is compared, sought, ordered and kept unique in
/// indexes: "Ünal", "ÜNAL" and "ünal" all give "ünal".
[[nodiscard]] QString foldCase(const QString &text);

/// The name of the column that holds the case-folded key of an indexed text
/// field, kept up to date by the record set. List queries that want case-blind
/// ordering on such a field order by this column ("Name" gives "Name_nocase").
[[nodiscard]] QString caseKeyColumn(const QString &fieldName);

} // namespace Telvora::Data
