// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace Telvora::App {

/// A failure as the program reports it to the user: a number, a description
/// and the name of the component that raised it. Every layer throws this type
/// so that callers can show the description in their own message box.
class AppError : public std::exception
{
public:
    AppError(long number, QString description, QString source = {})
        : m_number(number)
        , m_description(std::move(description))
        , m_source(std::move(source))
        , m_what(m_description.toStdString())
    {}

    [[nodiscard]] long number() const noexcept { return m_number; }
    [[nodiscard]] const QString &description() const noexcept { return m_description; }
    [[nodiscard]] const QString &source() const noexcept { return m_source; }
    [[nodiscard]] const char *what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    std::string m_what;
};

/// Error numbers shared between layers.
namespace ErrorNumber {
inline constexpr long Overflow = 6;
inline constexpr long TypeMismatch = 13;
inline constexpr long ObjectNotSet = 91;
/// The object-defined error base plus 10000: raised by read-only properties.
inline constexpr long ReadOnlyProperty = -2147211504;
/// The user cancelled a mail system dialog (the logon dialog among them).
inline constexpr long MailUserCancel = 32001;
/// A generic mail system failure (resolution, delivery, storage).
inline constexpr long MailFailure = 32002;
/// A generic database engine failure.
inline constexpr long DatabaseFailure = 3000;
} // namespace ErrorNumber

} // namespace Telvora::App
