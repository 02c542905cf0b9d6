// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Telvora::Ui {

/// The design of the sign-on dialog `frmLogon`: the post office folder (with a
/// browse button and a line telling what the folder holds), the mailbox (an
/// editable list of the post office's mailboxes), the display name for a new
/// mailbox, the buttons that create a mailbox or a post office, OK and Cancel.
class LogonDialogLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    QLabel *lblPostOffice = nullptr;
    QLineEdit *txtPostOffice = nullptr;
    QPushButton *cmdBrowse = nullptr;
    QLabel *lblFolderState = nullptr; ///< what the chosen folder holds
    QPushButton *cmdCreatePostOffice = nullptr;
    QLabel *lblMailbox = nullptr;
    QComboBox *cboMailbox = nullptr; ///< editable; items are mailbox names
    QLabel *lblDisplayName = nullptr;
    QLineEdit *txtDisplayName = nullptr;
    QPushButton *cmdCreateMailbox = nullptr;
    QPushButton *cmdOK = nullptr;     ///< default button
    QPushButton *cmdCancel = nullptr; ///< Esc
};

} // namespace Telvora::Ui
