// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/apperror.h"
#include "settings/inistore.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "tempenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>
#include <map>
#include <optional>

using namespace Telvora;

namespace {

const QString Source = QStringLiteral("Settings Collection");
const QString Preferences = QStringLiteral("Preferences");

QString iniPath()
{
    return Config::configDirectory() + QStringLiteral("Telvora.ini");
}

void writeIni(const QByteArray &content)
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readIni()
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<QString> stored(const QString &section, const QString &key)
{
    return Config::IniStore(iniPath()).value(section, key);
}

template<typename Operation> std::optional<App::AppError> errorOf(Operation &&operation)
{
    try {
        operation();
    } catch (const App::AppError &error) {
        return error;
    }
    return std::nullopt;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Every stored property as text, so one table can drive them all.
struct Accessor
{
    std::function<QString(Config::Settings &)> read;
    std::function<void(Config::Settings &, const QString &)> write;
};

template<typename Getter, typename Setter>
std::pair<const QString, Accessor> textProperty(const char *name, Getter get, Setter set)
{
    return {QString::fromLatin1(name),
            Accessor{[get](Config::Settings &s) { return (s.*get)(); },
                     [set](Config::Settings &s, const QString &v) { (s.*set)(v); }}};
}

template<typename Getter, typename Setter>
std::pair<const QString, Accessor> booleanProperty(const char *name, Getter get, Setter set)
{
    return {QString::fromLatin1(name),
            Accessor{[get](Config::Settings &s) { return booleanText((s.*get)()); },
                     [set](Config::Settings &s, const QString &v) { (s.*set)(v == u"True"); }}};
}

#define TEXT_PROPERTY(Name)                                                                        \
    textProperty(#Name, &Config::Settings::Name, &Config::Settings::set##Name)
#define BOOLEAN_PROPERTY(Name)                                                                     \
    booleanProperty(#Name, &Config::Settings::Name, &Config::Settings::set##Name)

const std::map<QString, Accessor> &accessors()
{
    static const std::map<QString, Accessor> map{
        TEXT_PROPERTY(BaudRate),
        TEXT_PROPERTY(ComPort),
        TEXT_PROPERTY(DialPrefix),
        TEXT_PROPERTY(DialString),
        TEXT_PROPERTY(HangupString),
        BOOLEAN_PROPERTY(NewSession),
        BOOLEAN_PROPERTY(ForceDelivery),
        BOOLEAN_PROPERTY(StatusBar),
        TEXT_PROPERTY(ActionPreferences),
        BOOLEAN_PROPERTY(ReturnReceipt),
        BOOLEAN_PROPERTY(AddrBookClear),
        BOOLEAN_PROPERTY(Chimes),
        BOOLEAN_PROPERTY(ConfirmDeletes),
        BOOLEAN_PROPERTY(CallerEnabled),
        {QStringLiteral("FetchInterval"),
         Accessor{[](Config::Settings &s) { return QString::number(s.FetchInterval()); },
                  [](Config::Settings &s, const QString &v) {
                      s.setFetchInterval(static_cast<qint16>(v.toShort()));
                  }}},
        TEXT_PROPERTY(MessageLog),
        BOOLEAN_PROPERTY(MessageLogEnabled),
        TEXT_PROPERTY(CallerMDB),
        BOOLEAN_PROPERTY(Popup),
        TEXT_PROPERTY(RecipsFile),
        TEXT_PROPERTY(SoundFile),
        BOOLEAN_PROPERTY(UseDialPrefix),
        BOOLEAN_PROPERTY(UseInternational),
    };
    return map;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void propertyDefaultsAndStoreCoordinates_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultValue"); // "{data}" stands for dataDirectory()
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("writable");

        const QString dialer = QStringLiteral("Dialer");
        auto row = [](const char *property, const QString &section, const char *key,
                      const QString &defaultValue, const char *sample, bool writable = true) {
            QTest::newRow(property)
                << QString::fromLatin1(property) << section << QString::fromLatin1(key)
                << defaultValue << QString::fromUtf8(sample) << writable;
        };
        // The dialer strings live in a section named after the property, key "Dialer".
        row("BaudRate", QStringLiteral("BaudRate"), "Dialer", QStringLiteral("1"), "9600");
        row("ComPort", QStringLiteral("ComPort"), "Dialer", QStringLiteral("1"), "3");
        row("DialPrefix", QStringLiteral("DialPrefix"), "Dialer", QStringLiteral("1-"), "9,");
        row("DialString", QStringLiteral("DialString"), "Dialer", QStringLiteral("ATM0DT"), "ATDP");
        row("HangupString", QStringLiteral("HangupString"), "Dialer", QStringLiteral("ATH"),
            "ATH0");
        row("NewSession", Preferences, "NewSession", QStringLiteral("False"), "True");
        row("ForceDelivery", Preferences, "ForceDelivery", QStringLiteral("False"), "True");
        row("StatusBar", Preferences, "StatusBar", QStringLiteral("True"), "False");
        row("ActionPreferences", Preferences, "ActionSettings", QStringLiteral("02"), "135");
        row("ReturnReceipt", Preferences, "ReturnReceipt", QStringLiteral("True"), "False");
        row("AddrBookClear", Preferences, "AddressBook", QStringLiteral("True"), "False");
        row("Chimes", Preferences, "Chimes", QStringLiteral("True"), "False");
        row("ConfirmDeletes", Preferences, "ConfirmDeletes", QStringLiteral("True"), "False");
        row("CallerEnabled", QStringLiteral("Data"), "CallerEnabled", QStringLiteral("False"),
            "True");
        row("FetchInterval", Preferences, "FetchInterval", QStringLiteral("10"), "25");
        row("MessageLog", QStringLiteral("MessageLog"), "DataFile", QString(),
            "/srv/telvora/msglog.sqlite");
        row("MessageLogEnabled", QStringLiteral("MessageLog"), "MsgLogEnabled",
            QStringLiteral("False"), "True");
        row("CallerMDB", QStringLiteral("Data"), "CallerFile", QString(),
            "/srv/telvora/callers.sqlite");
        row("Popup", Preferences, "Popup", QStringLiteral("True"), "False");
        row("RecipsFile", Preferences, "RecipDir", u"{data}recips.lst"_qs, "/srv/lists/recips.lst");
        row("SoundFile", Preferences, "SoundFile", QString(), "/usr/share/sounds/ding.wav");
        row("UseDialPrefix", dialer, "UsePrefix", QStringLiteral("True"), "False");
        row("UseInternational", Preferences, "International", QStringLiteral("False"), "True",
            false);
    }

    void propertyDefaultsAndStoreCoordinates()
    {
        QFETCH(QString, property);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, defaultValue);
        QFETCH(QString, sample);
        QFETCH(bool, writable);
        const Accessor &accessor = accessors().at(property);
        Test::TempEnvironment env;

        // A fresh account reads the default and writes nothing.
        {
            Config::Settings settings;
            QCOMPARE(accessor.read(settings),
                     QString(defaultValue).replace(u"{data}"_qs, Config::dataDirectory()));
            QVERIFY(!QFile::exists(iniPath()));
        }

        // A value placed by hand under the section and key is what the property reads.
        Config::writeSetting(section, key, sample);
        {
            Config::Settings settings;
            QCOMPARE(accessor.read(settings), sample);
        }

        // A write lands under that section and key, and nowhere else.
        QVERIFY(QFile::remove(iniPath()));
        {
            Config::Settings settings;
            accessor.write(settings, sample);
        }
        if (writable) {
            QCOMPARE(stored(section, key), std::optional<QString>(sample));
            if (section == property)
                QVERIFY(!stored(QStringLiteral("Dialer"), property).has_value());
            Config::Settings settings;
            QCOMPARE(accessor.read(settings), sample);
        } else {
            QVERIFY(!QFile::exists(iniPath()));
        }
    }

    void booleanConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "True", "False" or the error number
        QTest::newRow("1") << "1"
                           << "True";
        QTest::newRow("-1") << "-1"
                            << "True";
        QTest::newRow("true") << "true"
                              << "True";
        QTest::newRow("TRUE") << "TRUE"
                              << "True";
        QTest::newRow("decimal with blanks") << " 2.5 "
                                             << "True";
        QTest::newRow("exponent") << "1e3"
                                  << "True";
        QTest::newRow("0") << "0"
                           << "False";
        QTest::newRow("FALSE") << "FALSE"
                               << "False";
        QTest::newRow("-0.0") << "-0.0"
                              << "False";
        QTest::newRow("yes") << "yes"
                             << "13";
        QTest::newRow("empty") << ""
                               << "13";
        QTest::newRow("blanks only") << "   "
                                     << "13";
        QTest::newRow("word with blanks") << " True "
                                          << "13";
        QTest::newRow("number and text") << "1x"
                                         << "13";
        QTest::newRow("too large") << "1e999"
                                   << "6";
    }

    void booleanConversion()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Test::TempEnvironment env;
        Config::writeSetting(Preferences, QStringLiteral("Chimes"), text);
        Config::Settings settings;

        bool value = false;
        const auto error = errorOf([&] { value = settings.Chimes(); });
        if (expected == u"True" || expected == u"False") {
            QVERIFY2(!error, qPrintable(error ? error->description() : QString()));
            QCOMPARE(booleanText(value), expected);
            return;
        }
        QVERIFY(error);
        QCOMPARE(QString::number(error->number()), expected);
        QCOMPARE(error->description(),
                 expected == u"13" ? QStringLiteral("Type mismatch") : QStringLiteral("Overflow"));
        QCOMPARE(error->source(), Source);
        // A failed read repairs nothing.
        QCOMPARE(stored(Preferences, QStringLiteral("Chimes")), std::optional<QString>(text));
    }

    void callerEnabledTrimsBeforeConverting()
    {
        Test::TempEnvironment env;
        Config::Settings settings;
        const QString data = QStringLiteral("Data");
        const QString key = QStringLiteral("CallerEnabled");
        for (const char *text : {" True ", "\ttrue  ", "  1 "}) {
            Config::writeSetting(data, key, QString::fromLatin1(text));
            QVERIFY2(settings.CallerEnabled(), text);
        }
        Config::writeSetting(data, key, QStringLiteral("  False\t"));
        QVERIFY(!settings.CallerEnabled());
        Config::writeSetting(data, key, QStringLiteral("   "));
        const auto error = errorOf([&] { (void)settings.CallerEnabled(); });
        QVERIFY(error);
        QCOMPARE(error->number(), App::ErrorNumber::TypeMismatch);
    }

    void fetchIntervalConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("errorNumber");
        QTest::newRow("abc") << "abc" << 0 << 13;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("40000") << "40000" << 0 << 6;
        QTest::newRow("-40000") << "-40000" << 0 << 6;
        QTest::newRow("32768") << "32768" << 0 << 6;
        QTest::newRow("32767.5 rounds out of range") << "32767.5" << 0 << 6;
        QTest::newRow("32767") << "32767" << 32767 << 0;
        QTest::newRow("-32768") << "-32768" << -32768 << 0;
        QTest::newRow("0") << "0" << 0 << 0;
        QTest::newRow("blanks") << " 25 " << 25 << 0;
        QTest::newRow("10.6 rounds up") << "10.6" << 11 << 0;
        QTest::newRow("10.5 rounds to even") << "10.5" << 10 << 0;
        QTest::newRow("11.5 rounds to even") << "11.5" << 12 << 0;
        QTest::newRow("-2.5 rounds to even") << "-2.5" << -2 << 0;
    }

    void fetchIntervalConversion()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QFETCH(int, errorNumber);
        Test::TempEnvironment env;
        Config::writeSetting(Preferences, QStringLiteral("FetchInterval"), text);
        Config::Settings settings;

        qint16 value = -1;
        const auto error = errorOf([&] { value = settings.FetchInterval(); });
        if (errorNumber == 0) {
            QVERIFY(!error);
            QCOMPARE(int(value), expected);
        } else {
            QVERIFY(error);
            QCOMPARE(int(error->number()), errorNumber);
            QCOMPARE(error->source(), Source);
        }
    }

    void fetchIntervalIsWrittenAsDecimalText()
    {
        Test::TempEnvironment env;
        Config::Settings settings;
        settings.setFetchInterval(9999);
        QCOMPARE(stored(Preferences, QStringLiteral("FetchInterval")), u"9999"_qs);
        settings.setFetchInterval(-5);
        QCOMPARE(stored(Preferences, QStringLiteral("FetchInterval")), u"-5"_qs);
        QCOMPARE(settings.FetchInterval(), qint16(-5));
    }

    void soundFileIsTrimmedBothWays()
    {
        Test::TempEnvironment env;
        Config::Settings settings;
        const QString key = QStringLiteral("SoundFile");
        settings.setSoundFile(QStringLiteral("  /home/ann/ding.wav  "));
        QCOMPARE(stored(Preferences, key), u"/home/ann/ding.wav"_qs);

        const QString padded = QStringLiteral("  /srv/sounds/new mail.wav\t");
        Config::writeSetting(Preferences, key, padded);
        QCOMPARE(settings.SoundFile(), u"/srv/sounds/new mail.wav"_qs);
        QCOMPARE(stored(Preferences, key), std::optional<QString>(padded));
    }

    void recipsFileFallsBackOnlyWhenEmpty_data()
    {
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QString>("expected"); // null: the default path
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("full path") << "/srv/lists/recips.lst"
                                   << "/srv/lists/recips.lst";
        QTest::newRow("blanks kept") << " /srv/odd name.lst "
                                     << " /srv/odd name.lst ";
    }

    void recipsFileFallsBackOnlyWhenEmpty()
    {
        QFETCH(QString, storedText);
        QFETCH(QString, expected);
        Test::TempEnvironment env;
        Config::Settings settings;
        settings.setRecipsFile(storedText);
        QCOMPARE(stored(Preferences, QStringLiteral("RecipDir")),
                 std::optional<QString>(storedText));
        QCOMPARE(settings.RecipsFile(),
                 expected.isNull() ? Config::dataDirectory() + u"recips.lst"_qs : expected);
    }

    void actionPreferencesAreCachedForTheRun()
    {
        Test::TempEnvironment env;
        const QString key = QStringLiteral("ActionSettings");
        {
            Config::Settings settings;
            QCOMPARE(settings.ActionPreferences(), u"02"_qs);
            // Once read, the store is not consulted again in this run.
            Config::writeSetting(Preferences, key, QStringLiteral("4"));
            QCOMPARE(settings.ActionPreferences(), u"02"_qs);

            settings.setActionPreferences(QStringLiteral("135"));
            QCOMPARE(stored(Preferences, key), u"135"_qs);
            Config::writeSetting(Preferences, key, QStringLiteral("5"));
            QCOMPARE(settings.ActionPreferences(), u"135"_qs);
            settings.setActionPreferences(QStringLiteral("135"));
        }
        Config::Settings nextRun;
        QCOMPARE(nextRun.ActionPreferences(), u"135"_qs);
    }

    void readOnlyPropertiesIgnoreWrites()
    {
        Test::TempEnvironment env;
        Config::Settings settings;
        settings.setUseInternational(true);
        settings.setExePath(QStringLiteral("/elsewhere/"));
        QVERIFY(!QFile::exists(iniPath()));
        QVERIFY(!settings.UseInternational());
        QCOMPARE(settings.ExePath(), Config::dataDirectory());
        QVERIFY(settings.ExePath().endsWith(u'/'));

        writeIni("[Preferences]\nInternational=True\n");
        QVERIFY(settings.UseInternational());
        settings.setUseInternational(false);
        QVERIFY(settings.UseInternational());
    }

    void startupRectangleReadsBackExactly()
    {
        Test::TempEnvironment env;
        const QString rectangle = Config::numberText(1200) + u',' + Config::numberText(900) + u',' +
                                  Config::numberText(7200) + u',' + Config::numberText(5400);
        QCOMPARE(rectangle, u" 1200, 900, 7200, 5400"_qs);
        QCOMPARE(Config::numberText(0), u" 0"_qs);
        QCOMPARE(Config::numberText(-15), u"-15"_qs);

        Config::writeSetting(Preferences, Config::StartupKey, rectangle);
        QCOMPARE(Config::readSetting(Preferences, Config::StartupKey), rectangle);
        QCOMPARE(stored(Preferences, QStringLiteral("Startup")), rectangle);

        // Edited by hand: quoted keeps every blank, unquoted is one text trimmed at its ends.
        writeIni("[Preferences]\nStartup=\" 1200, 900, 7200, 5400\"\n");
        QCOMPARE(Config::readSetting(Preferences, Config::StartupKey), rectangle);
        writeIni("[Preferences]\nStartup= 1200, 900, 7200, 5400\n");
        QCOMPARE(Config::readSetting(Preferences, Config::StartupKey), u"1200, 900, 7200, 5400"_qs);
        QCOMPARE(Config::readSetting(Preferences, Config::PokeHWNDKey, u"0"_qs), u"0"_qs);
    }

    void storeKeepsValuesExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "";
        QTest::newRow("commas") << "a, b,c";
        QTest::newRow("blanks at both ends") << "  padded\t ";
        QTest::newRow("equals") << "x=y==";
        QTest::newRow("comment characters") << ";not # a comment";
        QTest::newRow("quotes") << "\"quoted\" and \"";
        QTest::newRow("backslashes") << "C:\\dir\\ \\\\";
        QTest::newRow("escape look-alikes") << "\\n \\x41 \\q";
        QTest::newRow("line breaks") << "one\ntwo\r\nthree";
        QTest::newRow("control character") << QStringLiteral("bell\a!");
        QTest::newRow("brackets") << "[Section]";
        QTest::newRow("unicode") << QStringLiteral("Grüße, € 5");
    }

    void storeKeepsValuesExactly()
    {
        QFETCH(QString, value);
        Test::TempEnvironment env;
        Config::IniStore writer(iniPath());
        writer.setValue(Preferences, QStringLiteral("Value"), value);
        writer.setValue(Preferences, QStringLiteral("After"), QStringLiteral("next"));
        QCOMPARE(writer.value(Preferences, QStringLiteral("Value")), value);
        Config::IniStore reader(iniPath());
        QCOMPARE(reader.value(Preferences, QStringLiteral("Value")), value);
        QCOMPARE(reader.value(Preferences, QStringLiteral("After")), u"next"_qs);
        // Present-but-empty and missing stay apart.
        QVERIFY(!reader.value(Preferences, QStringLiteral("Missing")).has_value());
    }

    void namesAreCaseInsensitiveAndForeignLinesSurvive()
    {
        Test::TempEnvironment env;
        const QByteArray garbage = QByteArrayLiteral("\xff\xfe\x00 binary, no equals sign");
        writeIni("; written by hand\r\n[PREFERENCES]\r\nCHIMES = False\r\n" + garbage +
                 "\r\n\r\n[Data]\nCallerFile=/srv/callers.sqlite\n[preferences]\nPopup=False\n");
        Config::Settings settings;
        QVERIFY(!settings.Chimes());
        QVERIFY(!settings.Popup());
        QCOMPARE(settings.CallerMDB(), u"/srv/callers.sqlite"_qs);

        settings.setChimes(true);
        settings.setFetchInterval(5);
        const QByteArray after = readIni();
        QVERIFY(after.startsWith("; written by hand\r\n[PREFERENCES]\r\nCHIMES=True\r\n"
                                 "FetchInterval=5\n"));
        QVERIFY(after.contains(garbage));
        QVERIFY(!after.contains("[Preferences]"));
        QVERIFY(settings.Chimes());
        QCOMPARE(settings.FetchInterval(), qint16(5));
        QCOMPARE(settings.CallerMDB(), u"/srv/callers.sqlite"_qs);
    }

    void twoCopiesKeepEachOthersKeys()
    {
        Test::TempEnvironment env;
        Config::IniStore first(iniPath());
        Config::IniStore second(iniPath());
        QVERIFY(!first.value(Preferences, QStringLiteral("Startup")).has_value());

        second.setValue(Preferences, QStringLiteral("Startup"), QStringLiteral(" 1, 2, 3, 4"));
        first.setValue(Preferences, QStringLiteral("PokeHWND"), QStringLiteral(" 42"));
        QCOMPARE(first.value(Preferences, QStringLiteral("Startup")), u" 1, 2, 3, 4"_qs);
        QCOMPARE(second.value(Preferences, QStringLiteral("PokeHWND")), u" 42"_qs);

        // Same size, same key: the other copy still sees the change.
        second.setValue(Preferences, QStringLiteral("PokeHWND"), QStringLiteral(" 43"));
        QCOMPARE(first.value(Preferences, QStringLiteral("PokeHWND")), u" 43"_qs);
    }

    void failedWriteRaisesAndChangesNothing()
    {
        Test::TempEnvironment env;
        // A configuration home below a regular file can never be created, not even by root.
        const QString blocker = env.filePath(QStringLiteral("blocker"));
        {
            QFile file(blocker);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        qputenv("XDG_CONFIG_HOME", (blocker + QStringLiteral("/config")).toLocal8Bit());

        Config::Settings settings;
        QVERIFY(settings.Chimes());
        const auto error = errorOf([&] { settings.setChimes(false); });
        QVERIFY(error);
        QCOMPARE(error->source(), Source);
        QVERIFY2(error->description().contains(u"Telvora.ini"), qPrintable(error->description()));
        QVERIFY(settings.Chimes());
        QVERIFY(errorOf([] { Config::writeSetting(Preferences, u"PokeHWND"_qs, u" 7"_qs); }));
    }

    void settingsFileThatIsNotAFile()
    {
        Test::TempEnvironment env;
        QVERIFY(QDir().mkpath(iniPath()));
        Config::Settings settings;
        QCOMPARE(settings.FetchInterval(), qint16(10));
        const auto error = errorOf([&] { settings.setFetchInterval(3); });
        QVERIFY(error);
        QCOMPARE(error->source(), Source);
        QVERIFY(QFileInfo(iniPath()).isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
