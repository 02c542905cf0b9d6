// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"

#include "settings/settings.h"

namespace Telvora::App {

Globals &globals()
{
    static Globals instance;
    return instance;
}

void InitGlobals()
{
    Config::Settings &settings = Config::settings();
    Globals &values = globals();
    values.AppDir = settings.ExePath();
    values.DefaultActions = settings.ActionPreferences();
    values.FetchMinutes = settings.FetchInterval();
}

} // namespace Telvora::App
