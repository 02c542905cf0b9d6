// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/inistore.h"

#include <QString>

namespace Telvora::Config {

/// The typed front to the program's settings: one property per preference,
/// each read from and written to the settings file at every use (see
/// IniStore). Booleans are stored as "True"/"False", `FetchInterval` as its
/// decimal text, everything else as text.
///
/// Reading a Boolean accepts the words True and False in any letter case and
/// any number, with optional blanks around it, a sign, decimals and an
/// exponent ("1", "-1", " 2.5 ", "0", "1e3"): 0 is False, every other number
/// True. Any other text, the empty text among it, fails with a type mismatch.
/// `FetchInterval` reads a number the same way and rounds it to the nearest
/// integer, halves to even ("10.6" is 11, "10.5" is 10); text that is not a
/// number fails with a type mismatch, a result outside -32768..32767 with an
/// overflow. A missing key reads as the property's default.
///
/// Every operation throws App::AppError with source "Settings Collection" and
/// the number and description of the underlying failure: 13 "Type mismatch",
/// 6 "Overflow", or the store's own error when the file cannot be written. A
/// failure leaves the stored value as it was.
class Settings
{
public:
    /// Settings in the per-user file configDirectory() + "Telvora.ini",
    /// located again at every access.
    Settings();
    /// Settings in the given file.
    explicit Settings(const QString &iniFile);
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    /// Modem dialer settings; nothing else in the program uses them. Each is
    /// stored in a section named after the property, under the key "Dialer".
    [[nodiscard]] QString BaudRate() const;
    void setBaudRate(const QString &value);
    [[nodiscard]] QString ComPort() const;
    void setComPort(const QString &value);
    [[nodiscard]] QString DialPrefix() const;
    void setDialPrefix(const QString &value);
    [[nodiscard]] QString DialString() const;
    void setDialString(const QString &value);
    [[nodiscard]] QString HangupString() const;
    void setHangupString(const QString &value);

    /// Always start a new mail session at sign-on. Default False.
    [[nodiscard]] bool NewSession() const;
    void setNewSession(bool value);
    /// Make the mail system deliver waiting mail at sign-on and before a
    /// manual fetch. Default False.
    [[nodiscard]] bool ForceDelivery() const;
    void setForceDelivery(bool value);
    /// Whether the main window shows its status bar. Default True.
    [[nodiscard]] bool StatusBar() const;
    void setStatusBar(bool value);

    /// The digits of the action boxes a new message starts with checked.
    /// Default "02". Read from the file only while this object's cached copy
    /// is empty, then served from the cache; a write stores the value and
    /// replaces the cached copy.
    [[nodiscard]] QString ActionPreferences();
    void setActionPreferences(const QString &value);

    /// Whether a new message starts with a return receipt requested. Default True.
    [[nodiscard]] bool ReturnReceipt() const;
    void setReturnReceipt(bool value);
    /// Clear the address book choice; nothing else in the program uses it. Default True.
    [[nodiscard]] bool AddrBookClear() const;
    void setAddrBookClear(bool value);
    /// Sound on new messages. Default True.
    [[nodiscard]] bool Chimes() const;
    void setChimes(bool value);
    /// Ask before deleting a message. Default True.
    [[nodiscard]] bool ConfirmDeletes() const;
    void setConfirmDeletes(bool value);
    /// Caller search on or off. Default False; the stored text is trimmed
    /// before it is converted.
    [[nodiscard]] bool CallerEnabled() const;
    void setCallerEnabled(bool value);

    /// The directory where the program keeps its data files beside itself:
    /// dataDirectory(), ending in "/". Not a preference: the write is accepted
    /// and changes nothing.
    [[nodiscard]] QString ExePath() const;
    void setExePath(const QString &value);

    /// Timer periods between automatic checks for new messages; 0 turns the
    /// checks off. Default 10.
    [[nodiscard]] qint16 FetchInterval() const;
    void setFetchInterval(qint16 value);

    /// Full path of the message log database. Default empty.
    [[nodiscard]] QString MessageLog() const;
    void setMessageLog(const QString &value);
    /// Message logging on or off. Default False.
    [[nodiscard]] bool MessageLogEnabled() const;
    void setMessageLogEnabled(bool value);
    /// Full path of the caller database. Default empty.
    [[nodiscard]] QString CallerMDB() const;
    void setCallerMDB(const QString &value);
    /// Announce new messages in a pop-up window. Default True.
    [[nodiscard]] bool Popup() const;
    void setPopup(bool value);

    /// Full path of the recipient pick-list file. When the stored text is
    /// empty or missing: ExePath() + "recips.lst". Written unchanged.
    [[nodiscard]] QString RecipsFile() const;
    void setRecipsFile(const QString &value);

    /// Path of the sound played on new messages, trimmed of blanks at both
    /// ends when read and when written. Default empty.
    [[nodiscard]] QString SoundFile() const;
    void setSoundFile(const QString &value);

    /// Dial with the dialer prefix; nothing else in the program uses it. Default True.
    [[nodiscard]] bool UseDialPrefix() const;
    void setUseDialPrefix(bool value);

    /// International date and time formats in new messages. Default False.
    /// Read-only: the write is accepted and changes nothing, so the value is
    /// only ever set by editing the settings file.
    [[nodiscard]] bool UseInternational() const;
    void setUseInternational(bool value);

private:
    [[nodiscard]] QString readText(const QString &section, const QString &key,
                                   const QString &defaultValue) const;
    [[nodiscard]] bool readBoolean(const QString &section, const QString &key,
                                   const QString &defaultValue, bool trim = false) const;
    void writeText(const QString &section, const QString &key, const QString &value);
    void writeBoolean(const QString &section, const QString &key, bool value);

    IniStore m_store;
    QString m_actionPreferences;
};

/// The program-wide settings, created on first use and kept until the
/// program ends. Every part of the program reaches the settings through it.
[[nodiscard]] Settings &settings();

} // namespace Telvora::Config
