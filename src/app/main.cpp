// SPDX-License-Identifier: GPL-3.0-or-later
// telvora: the desktop program. Its one argument is an operation digit and a
// mail message identifier ("0" compose, "1" + identifier open that message,
// "7" + identifier a new message arrived); without one it starts normally.

#include "app/startup.h"

int main(int argc, char *argv[])
{
    return Telvora::App::Main(argc, argv);
}
