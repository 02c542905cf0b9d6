// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/textutil.h"

#include "app/prompt.h"

namespace Telvora::App {

namespace {

/// 1-based position of find in text at or after start, 0 when absent or when
/// start lies past the end of the text.
int instr(int start, const QString &text, const QString &find)
{
    if (start > text.size())
        return 0;
    return int(text.indexOf(find, start - 1)) + 1;
}

} // namespace

QString GetToken(const QString &text, int index, const QString &delimiter, int startPos,
                 const QString &defaultText)
{
    if (text.isEmpty())
        return defaultText;
    const QString delim = delimiter.isEmpty() ? QStringLiteral(" ") : delimiter;
    if (index == 0)
        index = 1;
    if (startPos == 0)
        startPos = 1;
    else if (startPos >= text.size())
        return defaultText;

    int start = startPos;
    int end = startPos;
    for (int i = 1; i <= index; ++i) {
        start = end;
        end = instr(start + 1, text, delim);
        if (end == 0) {
            if (i < index)
                return defaultText;
            end = int(text.size()) + 1;
            break;
        }
    }
    if (start > 1)
        ++start;
    return text.mid(start - 1, end - start);
}

QString NextToken(int &position, const QString &text, const QString &delimiter)
{
    if (text.isEmpty()) {
        position = 0;
        return {};
    }
    if (position < 1 || position > text.size() + 1) {
        showMessage(
            QStringLiteral("Error In String Token Procedure.  Invalid procedure call or argument"));
        // Ending the walk keeps a caller's "until Position is 0" loop finite.
        position = 0;
        return {};
    }
    const int found = instr(position, text, delimiter);
    if (found == 0) {
        const QString rest = text.mid(position - 1);
        position = 0;
        return rest;
    }
    const QString token = text.mid(position - 1, found - position);
    position = found + 1;
    return token;
}

QString PopToken(QString &list, const QString &delimiter)
{
    const int found = instr(1, list, delimiter);
    if (found == 0)
        return std::exchange(list, QString());
    const QString token = list.left(found - 1);
    list = list.mid(found);
    return token;
}

QString ReplaceText(QString &text, const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return text;
    if (replacement.contains(find))
        return text.replace(find, replacement);
    for (qsizetype at = text.indexOf(find); at >= 0; at = text.indexOf(find))
        text = text.left(at) + replacement + text.mid(at + find.size());
    return text;
}

QString StripLeading(const QString &text, const QString &prefix)
{
    if (prefix.isEmpty())
        return text;
    qsizetype from = 0;
    while (QStringView(text).mid(from).startsWith(prefix))
        from += prefix.size();
    return text.mid(from);
}

} // namespace Telvora::App
