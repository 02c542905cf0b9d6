// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The message log benchmark (telvora-bench --log ...); returns the exit code.
int runMessageLogBench(int argc, char *argv[]);
