// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace Telvora::Ui {

/// The design of the directory picker `GetDir` ("Select Directory"): the
/// directory tree `Dir1`, the drive list `Drive1` and the file list `flFiles`
/// get their models from the controller.
class GetDirLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    QTreeView *Dir1 = nullptr;
    QLabel *Label3 = nullptr; // "Dri&ves:", access key to Drive1
    QComboBox *Drive1 = nullptr;
    QLabel *Label1 = nullptr; // the prompt
    /// OK (0, the default button) and Cancel (1).
    QPushButton *cbOK[2] = {};
    QLabel *Label2 = nullptr; // the current directory
    QPushButton *cbDirectory = nullptr;
    QListView *flFiles = nullptr;
    QLabel *Label4 = nullptr;
};

/// The design of `GetDir2` ("Create Directory"), which takes the name of a new
/// directory below the one shown in `GetDir`.
class GetDir2Layout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    QLabel *Label1 = nullptr;
    QLabel *laDirectory = nullptr;
    QLabel *Label3 = nullptr; // "&Name:", access key to tbName
    QLineEdit *tbName = nullptr;
    /// OK (0, the default button) and Cancel (1).
    QPushButton *Command1[2] = {};
};

} // namespace Telvora::Ui
