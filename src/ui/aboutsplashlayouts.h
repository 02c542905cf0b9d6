// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QDialog;
class QFrame;
class QLabel;
class QPushButton;

namespace Telvora::Ui {

/// The design of the splash window `frmSplash`: a frameless window without
/// title bar showing the icon, product name, version and legal notice from
/// the program's version information. The controller places it.
class SplashWindowLayout
{
public:
    /// Builds the design on `window` (a top-level frame).
    void setupUi(QFrame *window);

    QLabel *Image1 = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblVersion = nullptr; // "Version  4.0"
    QLabel *Label1 = nullptr;     // the maker's name
    QLabel *lblCopyright = nullptr;
};

/// The design of the about box `frmAbout`, filled from the program's version
/// information. The controller places it next to the main window.
class AboutBoxLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    /// Default and cancel button: Enter and Esc close the box.
    QPushButton *Command1 = nullptr;
    /// 0 the product name, 1 the version ("Version  4.0.52"), 2 the support line.
    QLabel *Label1[3] = {};
    QLabel *lblCopyright = nullptr;
    QLabel *Picture2 = nullptr;
    QLabel *Label2 = nullptr; // the maker's line
};

} // namespace Telvora::Ui
