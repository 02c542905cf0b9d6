// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QDialog;
class QLabel;
class QListWidget;
class QPushButton;

namespace Telvora::Ui {

/// The design of the address book `frmAddressBook`: the post office's address
/// list, from which one or more names are chosen as recipients.
class AddressBookDialogLayout
{
public:
    /// Builds the design on `dialog`.
    void setupUi(QDialog *dialog);

    QLabel *lblNames = nullptr; // access key to lstAddresses
    /// Extended selection: click, shift-click, control-click.
    QListWidget *lstAddresses = nullptr;
    /// Default button (Enter); disabled while nothing is selected.
    QPushButton *cmdOK = nullptr;
    /// Esc as well.
    QPushButton *cmdCancel = nullptr;
};

} // namespace Telvora::Ui
