// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace Telvora::Test {

/// Points XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary directory for
/// its lifetime, so that nothing a test does reaches the user's real files.
class TempEnvironment
{
public:
    TempEnvironment();
    ~TempEnvironment();
    TempEnvironment(const TempEnvironment &) = delete;
    TempEnvironment &operator=(const TempEnvironment &) = delete;

    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }
    [[nodiscard]] QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }
    [[nodiscard]] QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    QByteArray m_oldData;
    bool m_hadConfig;
    bool m_hadData;
};

} // namespace Telvora::Test
