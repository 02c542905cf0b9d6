// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/artwork.h"

class QAction;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QWidget;

namespace Telvora::Ui {

/// The design of the preferences dialog `frmPreferences`: a tab strip with
/// three pages (`picTabFrames`), of which only page 0 is shown at first, and
/// OK, Cancel and Help below. The pages are children of the dialog lying over
/// the tab strip, at page 0's place; the controller shows the page of the
/// selected tab. The file dialog `CommonDialog1` is not part of the design.
class PreferencesDialogLayout
{
public:
    /// Builds the design on `dialog` with its design caption "Telvora Preferences".
    void setupUi(QDialog *dialog);

    /// The three tabs' keys ("", "", "Logon") are their tab data.
    QTabWidget *tabPreferences = nullptr;
    QWidget *picTabFrames[3] = {};

    // Page 0, "Messages".
    QLabel *Label2 = nullptr; // "Label2(0)"
    QLineEdit *tbMinutes = nullptr;
    QCheckBox *chChimes = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *txtSoundFile = nullptr;
    /// Buttons 1 "Browse" and 2 "Play" (element 0 unused); keys are object names.
    QToolBar *Toolbar1 = nullptr;
    QAction *Toolbar1Buttons[3] = {};
    QCheckBox *chPopUp = nullptr;
    QCheckBox *chkConfirmDeletes = nullptr;
    QCheckBox *chkLaunch = nullptr;

    // Page 1, "Composing New Messages": actions 0 to 5 of a new message.
    QCheckBox *chMsg[6] = {};
    QCheckBox *chkReturnReceipt = nullptr;

    // Page 2, "Logon/Delivery".
    QCheckBox *chkNewSession = nullptr;
    QCheckBox *chkForceDelivery = nullptr;

    /// Label1(1) on page 0, Label1(2) and Label1(3) on page 1, Label1(0) and
    /// Label1(4) on page 2.
    QLabel *Label1[5] = {};

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdHelp = nullptr;

    /// Pictures of Toolbar1, keyed "Browse" and "Play".
    ImageList ImageList1;
};

} // namespace Telvora::Ui
