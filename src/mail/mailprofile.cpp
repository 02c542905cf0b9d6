// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mailprofile.h"

#include "app/apperror.h"
#include "settings/paths.h"

#include <QSettings>

namespace Telvora::Mail {

namespace {
constexpr char DirectoryKey[] = "PostOffice/Directory";
constexpr char MailboxKey[] = "PostOffice/Mailbox";
} // namespace

QString MailProfile::filePath()
{
    return Config::configDirectory() + QStringLiteral("mailprofile.ini");
}

std::optional<MailProfile> MailProfile::load()
{
    MailProfile profile;
    profile.postOffice = qEnvironmentVariable("TELVORA_POSTOFFICE");
    profile.mailbox = qEnvironmentVariable("TELVORA_MAILBOX");
    if (profile.postOffice.isEmpty() || profile.mailbox.isEmpty()) {
        const QSettings file(filePath(), QSettings::IniFormat);
        if (profile.postOffice.isEmpty())
            profile.postOffice = file.value(DirectoryKey).toString();
        if (profile.mailbox.isEmpty())
            profile.mailbox = file.value(MailboxKey).toString();
    }
    profile.postOffice = profile.postOffice.trimmed();
    profile.mailbox = profile.mailbox.trimmed();
    if (profile.postOffice.isEmpty() || profile.mailbox.isEmpty())
        return std::nullopt;
    return profile;
}

void MailProfile::save() const
{
    QSettings file(filePath(), QSettings::IniFormat);
    file.setValue(DirectoryKey, postOffice);
    file.setValue(MailboxKey, mailbox);
    file.sync();
    if (file.status() != QSettings::NoError)
        throw App::AppError(App::ErrorNumber::MailFailure,
                            QStringLiteral("Cannot write the mail profile \"%1\".").arg(filePath()),
                            QStringLiteral("MailProfile"));
}

} // namespace Telvora::Mail
