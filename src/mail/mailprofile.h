// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace Telvora::Mail {

/// Which post office and mailbox the mail system signs on to. It belongs to the
/// mail system, apart from the program's settings: the environment variables
/// TELVORA_POSTOFFICE (directory) and TELVORA_MAILBOX (mailbox name) win over
/// the profile file, Config::configDirectory() + "mailprofile.ini".
struct MailProfile
{
    QString postOffice; ///< the post office directory
    QString mailbox;    ///< the user's mailbox name in it

    /// The profile in force: each environment variable that is set and not
    /// empty wins over the file's value. Nothing when either part is missing.
    [[nodiscard]] static std::optional<MailProfile> load();

    /// Writes the profile file. Throws App::AppError when it cannot be written.
    void save() const;

    /// The path of the profile file.
    [[nodiscard]] static QString filePath();

    friend bool operator==(const MailProfile &, const MailProfile &) = default;
};

} // namespace Telvora::Mail
