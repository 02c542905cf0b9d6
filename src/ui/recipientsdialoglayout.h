// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace Telvora::Ui {

/// The design of the recipient pick list editor `frmRecipients`. The list is
/// designed sorted without regard to letter case; Qt's own sorting of list
/// items regards case, so it stays off and the controller inserts each name
/// at its place.
class RecipientsDialogLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    QLabel *Label1 = nullptr; // "Label1(0)", access key to txtRecipient
    QLineEdit *txtRecipient = nullptr;
    /// Extended selection: click, shift-click, control-click.
    QListWidget *lstRecipients = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdAddressBook = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdDirectory = nullptr;
    /// Default button at first (Enter); Esc closes the dialog as well.
    QPushButton *cmdDone = nullptr;
    QLabel *Label2 = nullptr;
};

} // namespace Telvora::Ui
