// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::App {

/// The program's entry: reads the command line, hands it to a running copy or
/// shows the notifier, or starts the program. Returns the process exit code.
int Main(int argc, char *argv[]);

/// Starts without a command: hands "0" to a running copy or loads the program.
void StartNormally();

/// The main start-up sequence: globals, main window, pick list, mail sign-on,
/// missing database files, the first quiet fetch, the status panels.
void InitApplication();

/// Ends the program once: signs off from mail and closes every window.
void ShutDown();

} // namespace Telvora::App
