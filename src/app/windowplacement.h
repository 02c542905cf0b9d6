// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace Telvora::App {

/// Centres a window in normal state on its screen horizontally, with its top
/// one third of the free height down (two thirds of the free space below).
/// Worked out in twips, as the program's stored positions are. A minimized or
/// maximized window is left alone.
void CenterForm(QWidget &window);

/// Moves a dialog 500 twips right of and 600 twips below the main window's
/// top-left corner; its size stays.
void PlaceNearMain(QWidget &dialog, const QWidget &mainWindow);

/// Edit > Delete: when the control that has the focus in `window` is a text
/// box, puts its selected text on the clipboard and removes it from the box.
/// Otherwise nothing happens.
void CutActiveText(const QWidget &window);

} // namespace Telvora::App
