// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/versioninfo.h"

#include <QVersionNumber>

namespace Telvora::Ui {

QString VersionInfo::fileVersion() const
{
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

const VersionInfo &programVersion()
{
    static const VersionInfo info = [] {
        const QVersionNumber number = QVersionNumber::fromString(QStringLiteral(TELVORA_VERSION));
        VersionInfo v;
        v.productName = QStringLiteral("MAPI Telvora");
        v.comments = QStringLiteral("MAPI Telephone Message System");
        v.companyName = QStringLiteral("The Telvora Developers");
        v.legalCopyright = QStringLiteral("\u00a9 The Telvora Developers");
        v.major = number.majorVersion();
        v.minor = number.minorVersion();
        v.revision = number.microVersion();
        return v;
    }();
    return info;
}

QString splashVersionText(const VersionInfo &info)
{
    return QStringLiteral("Version  %1.%2").arg(info.major).arg(info.minor);
}

QString aboutVersionText(const VersionInfo &info)
{
    return QStringLiteral("Version  %1.%2.%3").arg(info.major).arg(info.minor).arg(info.revision);
}

} // namespace Telvora::Ui
