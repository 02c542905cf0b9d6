// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QList>
#include <QString>
#include <optional>

namespace Telvora::Config {

/// The section that holds the keys the start-up and main-window code read and
/// write directly (readSetting(), writeSetting()).
inline constexpr QLatin1String PreferencesSection{"Preferences"};
/// The main window's normal rectangle: left, top, width and height in twips,
/// each written by numberText() and joined by ",". Missing: centre the window.
inline constexpr QLatin1String StartupKey{"Startup"};
/// The decimal handle of the running copy's hand-off target (numberText());
/// "0" or missing when no copy runs.
inline constexpr QLatin1String PokeHWNDKey{"PokeHWND"};
/// "True" or "False": whether new messages are announced in a pop-up window.
inline constexpr QLatin1String PopupKey{"Popup"};

/// A small INI file of string values addressed by section and key.
///
/// File form: "[Section]" lines start a section, "Key=Value" lines hold a
/// value, lines starting with ";" or "#" are comments; every other line is
/// ignored and kept as it stands when the file is rewritten. Section and key
/// names are found regardless of letter case and keep the spelling they were
/// first written with. The file is UTF-8.
///
/// Values: a key that is present always yields its text, even when that text
/// is empty; only a missing key yields nothing. Values the store writes come
/// back exactly as given: a value with blanks at either end, a comma, "=", ";",
/// "#", a quote, a backslash or a control character is written between double
/// quotes with \" \\ \n \r \t and \xHH escapes. A value written by hand without
/// quotes is taken as one text (commas do not split it) with blanks and tabs
/// at both ends removed, so "Key = a, b" reads "a, b"; put the value in quotes
/// to keep blanks at its ends. A value that starts with a quote but is not a
/// complete quoted text is taken literally.
///
/// Reads parse the file again only when it changed on disk (identity, size,
/// modification or status-change time), so they are cheap enough for every
/// use of a property. A file that cannot be read reads as empty. Every write
/// reads the file again first, changes one line and replaces the file
/// atomically, so two running copies do not wipe each other's other keys; of
/// two writes of the same key the last one wins.
class IniStore
{
public:
    /// A store on the program's per-user settings file, configDirectory() +
    /// "Telvora.ini", resolved again at every access.
    IniStore();
    /// A store on the given file.
    explicit IniStore(QString filePath);

    /// The file this store reads and writes now.
    [[nodiscard]] QString filePath() const;

    /// The stored text of section/key, or nothing when the key is missing.
    /// Never fails on the file's content; throws AppError only for a section
    /// or key name that cannot be stored (empty, line breaks, "]" in a
    /// section, "=" in a key, blanks at its ends).
    [[nodiscard]] std::optional<QString> value(const QString &section, const QString &key) const;

    /// The stored text of section/key, or `defaultValue` when the key is missing.
    [[nodiscard]] QString value(const QString &section, const QString &key,
                                const QString &defaultValue) const;

    /// Stores `text` under section/key at once, creating the section, the key
    /// and the file as needed. Throws AppError (source "Settings Store") with
    /// a description naming the file when the file exists but cannot be read,
    /// or cannot be written; the file is then unchanged.
    void setValue(const QString &section, const QString &key, const QString &text);

private:
    struct Line
    {
        enum class Kind
        {
            Other,
            Section,
            Entry
        };
        QByteArray raw;
        Kind kind = Kind::Other;
        QString section; // the section header's name, or the section an entry belongs to
        QString key;
        QString value;
    };

    struct Stamp
    {
        QString path;
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0;
        qint64 changed = 0;
        bool operator==(const Stamp &) const = default;
    };

    [[nodiscard]] static Stamp stampOf(const QString &path);
    [[nodiscard]] static QList<Line> parse(const QByteArray &content);
    [[nodiscard]] static QByteArray serialize(const QList<Line> &lines);
    void refresh(const QString &path) const;

    QString m_fixedPath; // empty: the per-user settings file
    mutable QList<Line> m_lines;
    mutable std::optional<Stamp> m_stamp;
};

/// Reads a key of the program's settings file directly, without `Settings`:
/// the stored text, or `defaultValue` when the key is missing. Used for the
/// keys StartupKey, PokeHWNDKey and PopupKey in PreferencesSection.
[[nodiscard]] QString readSetting(const QString &section, const QString &key,
                                  const QString &defaultValue = {});

/// Writes a key of the program's settings file directly, without `Settings`.
/// Throws AppError as IniStore::setValue() does.
void writeSetting(const QString &section, const QString &key, const QString &value);

/// The number-to-text rule of stored numbers: a blank before a non-negative
/// number, a minus sign before a negative one (" 1200", "-15").
[[nodiscard]] QString numberText(long number);

} // namespace Telvora::Config
