// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::Config {

/// The per-user configuration directory of the program,
/// $XDG_CONFIG_HOME/Telvora/ (default ~/.config/Telvora/), ending in "/".
/// Created on first use. Read from the environment at every call.
QString configDirectory();

/// The per-user data directory, $XDG_DATA_HOME/Telvora/ (default
/// ~/.local/share/Telvora/), ending in "/". It stands for the program's own
/// directory wherever the program keeps data files beside itself (the default
/// pick list, the default database files). Created on first use.
QString dataDirectory();

} // namespace Telvora::Config
