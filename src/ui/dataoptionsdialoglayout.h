// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace Telvora::Ui {

/// The design of the data options dialog `frmDataOptions`: a tab strip with
/// the caller search page and the message logging page (`picTabFrames`, both
/// at page 0's place, page 1 hidden at first) and OK and Cancel below. The
/// prompt `lblPrompt` is empty until the controller fills it; the file dialog
/// `CommonDialog1` is not part of the design.
class DataOptionsDialogLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    /// Tab keys "CallerSearch" and "MessageLogging" are the tabs' data.
    QTabWidget *TabStrip1 = nullptr;
    QWidget *picTabFrames[2] = {};

    // Page 0, caller search.
    QLabel *lblPrompt = nullptr;
    QCheckBox *chDataEnabled = nullptr;
    QLabel *lblDirectory = nullptr;
    QLineEdit *txtDirectory = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdBrowse = nullptr;

    // Page 1, message logging.
    QLabel *Label1 = nullptr; // "Label1(0)"
    QCheckBox *chkMessageLogEnabled = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtLogFile = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *cmdBrowseLog = nullptr;

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};

} // namespace Telvora::Ui
