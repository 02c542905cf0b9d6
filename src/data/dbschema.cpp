// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbschema.h"

#include <algorithm>

namespace Telvora::Data {

Field Field::text(const QString &name, int size, bool allowZeroLength)
{
    return Field{name, FieldType::Text, size, false, allowZeroLength};
}

Field Field::longInteger(const QString &name, bool autoIncrement)
{
    return Field{name, FieldType::Long, 4, autoIncrement, false};
}

Field Field::dateTime(const QString &name)
{
    return Field{name, FieldType::DateTime, 8, false, false};
}

Field Field::byte(const QString &name)
{
    return Field{name, FieldType::Byte, 1, false, false};
}

int TableDef::fieldPosition(const QString &fieldName) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const Field *TableDef::field(const QString &fieldName) const
{
    const int position = fieldPosition(fieldName);
    return position < 0 ? nullptr : &fields.at(position);
}

const Index *TableDef::index(const QString &indexName) const
{
    for (const Index &candidate : indexes) {
        if (candidate.name.compare(indexName, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

bool TableDef::hasCaseKey(const QString &fieldName) const
{
    const Field *f = field(fieldName);
    if (!f || f->type != FieldType::Text)
        return false;
    return std::any_of(indexes.cbegin(), indexes.cend(), [&](const Index &candidate) {
        return candidate.fields.contains(f->name, Qt::CaseInsensitive);
    });
}

QString foldCase(const QString &text)
{
    return text.toCaseFolded();
}

QString caseKeyColumn(const QString &fieldName)
{
    return fieldName + QStringLiteral("_nocase");
}

} // namespace Telvora::Data
