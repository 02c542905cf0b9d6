// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The start-up benchmark (telvora-bench --startup ...); returns the exit code.
int runStartupBench(int argc, char *argv[]);
