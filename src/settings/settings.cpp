// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"

#include "app/apperror.h"
#include "settings/paths.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace Telvora::Config {

namespace {

const QString ErrorSource = QStringLiteral("Settings Collection");

const QString Preferences = QStringLiteral("Preferences");
const QString Dialer = QStringLiteral("Dialer");
const QString Data = QStringLiteral("Data");
const QString MessageLogSection = QStringLiteral("MessageLog");

// Missing Boolean keys read as these numbers, as stored Booleans may be numbers too.
const QString TrueNumber = QStringLiteral("1");
const QString FalseNumber = QStringLiteral("0");

[[noreturn]] void throwTypeMismatch()
{
    throw App::AppError(App::ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch"),
                        ErrorSource);
}

[[noreturn]] void throwOverflow()
{
    throw App::AppError(App::ErrorNumber::Overflow, QStringLiteral("Overflow"), ErrorSource);
}

// The number a stored text stands for: blanks around it, a sign, decimals
// with "." and an exponent are accepted. Nothing when the text is no number.
std::optional<double> toNumber(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^[ \t]*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)[ \t]*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = QLocale::c().toDouble(match.capturedView(1), &ok);
    // The pattern admits only numbers, so a failed conversion is out of range.
    if (!ok || !std::isfinite(number))
        throwOverflow();
    return number;
}

bool toBoolean(const QString &text)
{
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = toNumber(text);
    if (!number)
        throwTypeMismatch();
    return *number != 0.0;
}

qint16 toInteger(const QString &text)
{
    const std::optional<double> number = toNumber(text);
    if (!number)
        throwTypeMismatch();
    // Round to the nearest integer, halves to the even neighbour.
    double rounded = std::floor(*number);
    const double fraction = *number - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded < -32768.0 || rounded > 32767.0)
        throwOverflow();
    return static_cast<qint16>(rounded);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Runs one settings operation; a failure of the store or of a conversion
// reaches the caller with its number and description and this class's source.
template<typename Operation> auto guarded(Operation &&operation) -> decltype(operation())
{
    try {
        return operation();
    } catch (const App::AppError &error) {
        throw App::AppError(error.number(), error.description(), ErrorSource);
    }
}

} // namespace

Settings::Settings() = default;

Settings::Settings(const QString &iniFile)
    : m_store(iniFile)
{}

QString Settings::readText(const QString &section, const QString &key,
                           const QString &defaultValue) const
{
    return guarded([&] { return m_store.value(section, key, defaultValue); });
}

bool Settings::readBoolean(const QString &section, const QString &key, const QString &defaultValue,
                           bool trim) const
{
    return guarded([&] {
        const QString text = m_store.value(section, key, defaultValue);
        return toBoolean(trim ? text.trimmed() : text);
    });
}

void Settings::writeText(const QString &section, const QString &key, const QString &value)
{
    guarded([&] { m_store.setValue(section, key, value); });
}

void Settings::writeBoolean(const QString &section, const QString &key, bool value)
{
    writeText(section, key, booleanText(value));
}

QString Settings::BaudRate() const
{
    return readText(QStringLiteral("BaudRate"), Dialer, QStringLiteral("1"));
}

void Settings::setBaudRate(const QString &value)
{
    writeText(QStringLiteral("BaudRate"), Dialer, value);
}

QString Settings::ComPort() const
{
    return readText(QStringLiteral("ComPort"), Dialer, QStringLiteral("1"));
}

void Settings::setComPort(const QString &value)
{
    writeText(QStringLiteral("ComPort"), Dialer, value);
}

QString Settings::DialPrefix() const
{
    return readText(QStringLiteral("DialPrefix"), Dialer, QStringLiteral("1-"));
}

void Settings::setDialPrefix(const QString &value)
{
    writeText(QStringLiteral("DialPrefix"), Dialer, value);
}

QString Settings::DialString() const
{
    return readText(QStringLiteral("DialString"), Dialer, QStringLiteral("ATM0DT"));
}

void Settings::setDialString(const QString &value)
{
    writeText(QStringLiteral("DialString"), Dialer, value);
}

QString Settings::HangupString() const
{
    return readText(QStringLiteral("HangupString"), Dialer, QStringLiteral("ATH"));
}

void Settings::setHangupString(const QString &value)
{
    writeText(QStringLiteral("HangupString"), Dialer, value);
}

bool Settings::NewSession() const
{
    return readBoolean(Preferences, QStringLiteral("NewSession"), FalseNumber);
}

void Settings::setNewSession(bool value)
{
    writeBoolean(Preferences, QStringLiteral("NewSession"), value);
}

bool Settings::ForceDelivery() const
{
    return readBoolean(Preferences, QStringLiteral("ForceDelivery"), FalseNumber);
}

void Settings::setForceDelivery(bool value)
{
    writeBoolean(Preferences, QStringLiteral("ForceDelivery"), value);
}

bool Settings::StatusBar() const
{
    return readBoolean(Preferences, QStringLiteral("StatusBar"), TrueNumber);
}

void Settings::setStatusBar(bool value)
{
    writeBoolean(Preferences, QStringLiteral("StatusBar"), value);
}

QString Settings::ActionPreferences()
{
    if (m_actionPreferences.isEmpty())
        m_actionPreferences =
            readText(Preferences, QStringLiteral("ActionSettings"), QStringLiteral("02"));
    return m_actionPreferences;
}

void Settings::setActionPreferences(const QString &value)
{
    writeText(Preferences, QStringLiteral("ActionSettings"), value);
    m_actionPreferences = value;
}

bool Settings::ReturnReceipt() const
{
    return readBoolean(Preferences, QStringLiteral("ReturnReceipt"), TrueNumber);
}

void Settings::setReturnReceipt(bool value)
{
    writeBoolean(Preferences, QStringLiteral("ReturnReceipt"), value);
}

bool Settings::AddrBookClear() const
{
    return readBoolean(Preferences, QStringLiteral("AddressBook"), TrueNumber);
}

void Settings::setAddrBookClear(bool value)
{
    writeBoolean(Preferences, QStringLiteral("AddressBook"), value);
}

bool Settings::Chimes() const
{
    return readBoolean(Preferences, QStringLiteral("Chimes"), TrueNumber);
}

void Settings::setChimes(bool value)
{
    writeBoolean(Preferences, QStringLiteral("Chimes"), value);
}

bool Settings::ConfirmDeletes() const
{
    return readBoolean(Preferences, QStringLiteral("ConfirmDeletes"), TrueNumber);
}

void Settings::setConfirmDeletes(bool value)
{
    writeBoolean(Preferences, QStringLiteral("ConfirmDeletes"), value);
}

bool Settings::CallerEnabled() const
{
    return readBoolean(Data, QStringLiteral("CallerEnabled"), QStringLiteral("False"), true);
}

void Settings::setCallerEnabled(bool value)
{
    writeBoolean(Data, QStringLiteral("CallerEnabled"), value);
}

QString Settings::ExePath() const
{
    QString path = dataDirectory();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

void Settings::setExePath(const QString &)
{
    // The program's directory is where it is: there is nothing to store.
}

qint16 Settings::FetchInterval() const
{
    return guarded([&] {
        return toInteger(
            m_store.value(Preferences, QStringLiteral("FetchInterval"), QStringLiteral("10")));
    });
}

void Settings::setFetchInterval(qint16 value)
{
    writeText(Preferences, QStringLiteral("FetchInterval"), QString::number(value));
}

QString Settings::MessageLog() const
{
    return readText(MessageLogSection, QStringLiteral("DataFile"), QString());
}

void Settings::setMessageLog(const QString &value)
{
    writeText(MessageLogSection, QStringLiteral("DataFile"), value);
}

bool Settings::MessageLogEnabled() const
{
    return readBoolean(MessageLogSection, QStringLiteral("MsgLogEnabled"), FalseNumber);
}

void Settings::setMessageLogEnabled(bool value)
{
    writeBoolean(MessageLogSection, QStringLiteral("MsgLogEnabled"), value);
}

QString Settings::CallerMDB() const
{
    return readText(Data, QStringLiteral("CallerFile"), QString());
}

void Settings::setCallerMDB(const QString &value)
{
    writeText(Data, QStringLiteral("CallerFile"), value);
}

bool Settings::Popup() const
{
    return readBoolean(Preferences, PopupKey, TrueNumber);
}

void Settings::setPopup(bool value)
{
    writeBoolean(Preferences, PopupKey, value);
}

QString Settings::RecipsFile() const
{
    const QString stored = readText(Preferences, QStringLiteral("RecipDir"), QString());
    if (!stored.isEmpty())
        return stored;
    return ExePath() + QStringLiteral("recips.lst");
}

void Settings::setRecipsFile(const QString &value)
{
    writeText(Preferences, QStringLiteral("RecipDir"), value);
}

QString Settings::SoundFile() const
{
    return readText(Preferences, QStringLiteral("SoundFile"), QString()).trimmed();
}

void Settings::setSoundFile(const QString &value)
{
    writeText(Preferences, QStringLiteral("SoundFile"), value.trimmed());
}

bool Settings::UseDialPrefix() const
{
    return readBoolean(Dialer, QStringLiteral("UsePrefix"), TrueNumber);
}

void Settings::setUseDialPrefix(bool value)
{
    writeBoolean(Dialer, QStringLiteral("UsePrefix"), value);
}

bool Settings::UseInternational() const
{
    return readBoolean(Preferences, QStringLiteral("International"), FalseNumber);
}

void Settings::setUseInternational(bool)
{
    // Read-only: the value is only ever set by editing the settings file.
}

Settings &settings()
{
    static Settings instance;
    return instance;
}

} // namespace Telvora::Config
