// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ui/aboutsplashlayouts.h"

namespace Telvora::App {

/// The about box `frmAbout`: product name, version with revision and legal
/// notice from the version information, placed 1200 twips right of and below
/// the main window's top-left corner. OK, Enter or Esc closes it.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    /// Builds and fills the box; `mainWindow` (may be null) is where it is
    /// placed from and its parent.
    explicit AboutBox(QWidget *mainWindow = nullptr);

    [[nodiscard]] Ui::AboutBoxLayout &ui() { return m_ui; }

private:
    Ui::AboutBoxLayout m_ui;
};

/// Shows the about box modally over the main window and returns when it closes.
void showAboutBox(QWidget *parent);

} // namespace Telvora::App
