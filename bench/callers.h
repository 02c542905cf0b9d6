// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The caller type-ahead benchmark (telvora-bench --callers ...); returns the exit code.
int runCallersBench(int argc, char *argv[]);
