// SPDX-License-Identifier: GPL-3.0-or-later
#include "tempenvironment.h"

#include <QDir>

namespace Telvora::Test {

TempEnvironment::TempEnvironment()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_oldData(qgetenv("XDG_DATA_HOME"))
    , m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    , m_hadData(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
{
    QDir().mkpath(configHome());
    QDir().mkpath(dataHome());
    qputenv("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
}

TempEnvironment::~TempEnvironment()
{
    if (m_hadConfig)
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
    if (m_hadData)
        qputenv("XDG_DATA_HOME", m_oldData);
    else
        qunsetenv("XDG_DATA_HOME");
}

} // namespace Telvora::Test
