// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailsystem.h"
#include "ui/addressbookdialoglayout.h"

#include <QDialog>
#include <QList>

#include <functional>

namespace Telvora::Mail {

/// Lets the user choose entries of the address list; returns the chosen ones
/// in list order, or none when the user cancelled.
using AddressBookChooser =
    std::function<QList<AddressEntry>(const QList<AddressEntry> &addressList)>;

/// Shows the address book over the active window and returns the entries the
/// user chose (none when cancelled). An installed chooser answers instead.
[[nodiscard]] QList<AddressEntry> ShowAddressBook(const QList<AddressEntry> &addressList);

/// Installs the program-wide chooser that answers ShowAddressBook in place of
/// the dialog (an empty one restores the dialog); returns the previous one.
AddressBookChooser setAddressBookChooser(AddressBookChooser chooser);

/// The address book dialog: the address list by display name, several names
/// may be chosen at once. OK (or a double click on a name) accepts the choice.
class AddressBookDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AddressBookDialog(const QList<AddressEntry> &addressList, QWidget *parent = nullptr);

    /// The selected entries in list order.
    [[nodiscard]] QList<AddressEntry> chosen() const;

    [[nodiscard]] Ui::AddressBookDialogLayout &ui() { return m_ui; }

private:
    Ui::AddressBookDialogLayout m_ui;
    QList<AddressEntry> m_entries;
};

} // namespace Telvora::Mail
