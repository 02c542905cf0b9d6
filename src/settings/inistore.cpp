// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/inistore.h"

#include "app/apperror.h"
#include "settings/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace Telvora::Config {

namespace {

const QString StoreSource = QStringLiteral("Settings Store");
constexpr long InvalidArgument = 5;
constexpr long FileAccessError = 75;
const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

bool needsQuotes(const QString &value)
{
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    for (const QChar c : value) {
        if (isControl(c) || QStringView(u"\",;#=\\").contains(c))
            return true;
    }
    return false;
}

QByteArray encodeValue(const QString &value)
{
    if (!needsQuotes(value))
        return value.toUtf8();
    QString quoted;
    quoted.reserve(value.size() + 8);
    quoted += u'"';
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'"':
            quoted += u"\\\"";
            break;
        case u'\\':
            quoted += u"\\\\";
            break;
        case u'\n':
            quoted += u"\\n";
            break;
        case u'\r':
            quoted += u"\\r";
            break;
        case u'\t':
            quoted += u"\\t";
            break;
        default:
            if (isControl(c))
                quoted += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                quoted += c;
        }
    }
    quoted += u'"';
    return quoted.toUtf8();
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The text of a quoted value, or nothing when `text` is not one complete
// quoted value (then the caller takes it literally).
std::optional<QString> unquote(const QString &text)
{
    QString out;
    qsizetype i = 1;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'"') {
            if (!text.mid(i + 1).trimmed().isEmpty())
                return std::nullopt;
            return out;
        }
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            ++i;
            continue;
        }
        const QChar next = text.at(i + 1);
        i += 2;
        switch (next.unicode()) {
        case u'"':
        case u'\\':
            out += next;
            break;
        case u'n':
            out += u'\n';
            break;
        case u'r':
            out += u'\r';
            break;
        case u't':
            out += u'\t';
            break;
        case u'x':
            if (i + 1 < text.size() && hexDigit(text.at(i)) >= 0 && hexDigit(text.at(i + 1)) >= 0) {
                out += QChar(char16_t(hexDigit(text.at(i)) * 16 + hexDigit(text.at(i + 1))));
                i += 2;
                break;
            }
            [[fallthrough]];
        default:
            // Not an escape this store writes: keep it as it stands.
            out += u'\\';
            out += next;
        }
    }
    return std::nullopt;
}

QString decodeValue(const QString &raw)
{
    const QString text = raw.trimmed();
    if (text.startsWith(u'"')) {
        if (auto unquoted = unquote(text))
            return *unquoted;
    }
    return text;
}

void checkName(const QString &name, bool isSection)
{
    bool valid =
        !name.isEmpty() && name == name.trimmed() && !name.contains(u'\n') && !name.contains(u'\r');
    if (isSection)
        valid = valid && !name.contains(u']');
    else
        valid = valid && !name.contains(u'=') && !name.startsWith(u'[') && !name.startsWith(u';') &&
                !name.startsWith(u'#');
    if (!valid) {
        throw App::AppError(
            InvalidArgument,
            QStringLiteral("Invalid settings %1 name \"%2\"")
                .arg(isSection ? QStringLiteral("section") : QStringLiteral("key"), name),
            StoreSource);
    }
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString defaultFilePath()
{
    return configDirectory() + QStringLiteral("Telvora.ini");
}

IniStore &programStore()
{
    static IniStore store;
    return store;
}

} // namespace

IniStore::IniStore() = default;

IniStore::IniStore(QString filePath)
    : m_fixedPath(std::move(filePath))
{}

QString IniStore::filePath() const
{
    return m_fixedPath.isEmpty() ? defaultFilePath() : m_fixedPath;
}

IniStore::Stamp IniStore::stampOf(const QString &path)
{
    Stamp stamp;
    stamp.path = path;
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changed = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

QList<IniStore::Line> IniStore::parse(const QByteArray &content)
{
    QList<Line> lines;
    QString section; // null until the first section header
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        const qsizetype next = end < 0 ? content.size() : end + 1;
        if (end < 0)
            end = content.size();
        Line line;
        line.raw = content.mid(start, end - start);
        QByteArray bytes = line.raw;
        if (start == 0 && bytes.startsWith(Utf8Bom))
            bytes.remove(0, Utf8Bom.size());
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString text = QString::fromUtf8(bytes);
        const QString trimmed = text.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            line.kind = Line::Kind::Section;
            line.section = section;
        } else if (!section.isNull() && !trimmed.startsWith(u';') && !trimmed.startsWith(u'#')) {
            const qsizetype equals = text.indexOf(u'=');
            const QString key = equals > 0 ? text.left(equals).trimmed() : QString();
            if (!key.isEmpty()) {
                line.kind = Line::Kind::Entry;
                line.section = section;
                line.key = key;
                line.value = decodeValue(text.mid(equals + 1));
            }
        }
        lines.append(std::move(line));
        start = next;
    }
    return lines;
}

QByteArray IniStore::serialize(const QList<Line> &lines)
{
    QByteArray content;
    for (const Line &line : lines) {
        content += line.raw;
        content += '\n';
    }
    return content;
}

void IniStore::refresh(const QString &path) const
{
    const Stamp stamp = stampOf(path);
    if (m_stamp && *m_stamp == stamp)
        return;
    m_lines.clear();
    if (stamp.exists) {
        // A file that cannot be read reads as empty: every key takes its default.
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_lines = parse(file.readAll());
    }
    m_stamp = stamp;
}

std::optional<QString> IniStore::value(const QString &section, const QString &key) const
{
    checkName(section, true);
    checkName(key, false);
    refresh(filePath());
    for (const Line &line : std::as_const(m_lines)) {
        if (line.kind == Line::Kind::Entry && sameName(line.key, key) &&
            sameName(line.section, section))
            return line.value;
    }
    return std::nullopt;
}

QString IniStore::value(const QString &section, const QString &key,
                        const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

void IniStore::setValue(const QString &section, const QString &key, const QString &text)
{
    checkName(section, true);
    checkName(key, false);
    const QString path = filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());

    // Start from what is on disk now, not from the cache: another running copy
    // may have written other keys since this one last looked.
    QList<Line> lines;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw App::AppError(FileAccessError,
                                QStringLiteral("The settings file \"%1\" cannot be read: %2")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                                StoreSource);
        }
        lines = parse(file.readAll());
    }

    qsizetype found = -1;
    for (qsizetype i = 0; i < lines.size() && found < 0; ++i) {
        const Line &line = lines.at(i);
        if (line.kind == Line::Kind::Entry && sameName(line.key, key) &&
            sameName(line.section, section))
            found = i;
    }
    if (found >= 0) {
        // Keep the key's spelling, a byte order mark and a CR line end.
        Line &line = lines[found];
        QByteArray raw;
        if (found == 0 && line.raw.startsWith(Utf8Bom))
            raw += Utf8Bom;
        raw += line.key.toUtf8() + '=' + encodeValue(text);
        if (line.raw.endsWith('\r'))
            raw += '\r';
        line.raw = raw;
        line.value = text;
    } else {
        Line entry;
        entry.kind = Line::Kind::Entry;
        entry.key = key;
        entry.value = text;
        entry.raw = key.toUtf8() + '=' + encodeValue(text);
        qsizetype header = -1;
        for (qsizetype i = 0; i < lines.size() && header < 0; ++i) {
            if (lines.at(i).kind == Line::Kind::Section && sameName(lines.at(i).section, section))
                header = i;
        }
        if (header >= 0) {
            entry.section = lines.at(header).section;
            qsizetype insertAt = header + 1;
            for (qsizetype i = header + 1;
                 i < lines.size() && lines.at(i).kind != Line::Kind::Section; ++i) {
                if (lines.at(i).kind == Line::Kind::Entry)
                    insertAt = i + 1;
            }
            lines.insert(insertAt, std::move(entry));
        } else {
            if (!lines.isEmpty() && !lines.constLast().raw.trimmed().isEmpty())
                lines.append(Line{});
            Line sectionLine;
            sectionLine.kind = Line::Kind::Section;
            sectionLine.section = section;
            sectionLine.raw = '[' + section.toUtf8() + ']';
            lines.append(std::move(sectionLine));
            entry.section = section;
            lines.append(std::move(entry));
        }
    }

    const QByteArray content = serialize(lines);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        throw App::AppError(FileAccessError,
                            QStringLiteral("The settings file \"%1\" cannot be written: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()),
                            StoreSource);
    }
    // The next read parses the file again: another copy may write right after this one.
    m_stamp.reset();
    m_lines.clear();
}

QString readSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    return programStore().value(section, key, defaultValue);
}

void writeSetting(const QString &section, const QString &key, const QString &value)
{
    programStore().setValue(section, key, value);
}

QString numberText(long number)
{
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

} // namespace Telvora::Config
