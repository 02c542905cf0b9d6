// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/paths.h"

#include <QDir>

namespace Telvora::Config {

namespace {

QString xdgDirectory(const char *variable, const QString &fallbackBelowHome)
{
    QString base = qEnvironmentVariable(variable);
    // XDG base directories must be absolute; a relative one is ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + fallbackBelowHome;
    QString path = QDir::cleanPath(base + QStringLiteral("/Telvora"));
    QDir().mkpath(path);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

QString configDirectory()
{
    return xdgDirectory("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString dataDirectory()
{
    return xdgDirectory("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

} // namespace Telvora::Config
