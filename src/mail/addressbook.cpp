// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/addressbook.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

#include <utility>

namespace Telvora::Mail {

namespace {

AddressBookChooser &installedChooser()
{
    static AddressBookChooser chooser;
    return chooser;
}

constexpr int EntryRole = Qt::UserRole;

} // namespace

AddressBookDialog::AddressBookDialog(const QList<AddressEntry> &addressList, QWidget *parent)
    : QDialog(parent)
    , m_entries(addressList)
{
    m_ui.setupUi(this);
    for (int index = 0; index < m_entries.size(); ++index) {
        auto *item = new QListWidgetItem(m_entries[index].displayName, m_ui.lstAddresses);
        item->setToolTip(m_entries[index].address);
        item->setData(EntryRole, index);
    }
    if (m_ui.lstAddresses->count() > 0)
        m_ui.lstAddresses->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    m_ui.cmdOK->setEnabled(false);

    connect(m_ui.lstAddresses, &QListWidget::itemSelectionChanged, this,
            [this] { m_ui.cmdOK->setEnabled(!m_ui.lstAddresses->selectedItems().isEmpty()); });
    connect(m_ui.lstAddresses, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_ui.cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui.cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QList<AddressEntry> AddressBookDialog::chosen() const
{
    QList<AddressEntry> result;
    for (int row = 0; row < m_ui.lstAddresses->count(); ++row) {
        const QListWidgetItem *item = m_ui.lstAddresses->item(row);
        if (item->isSelected())
            result.append(m_entries[item->data(EntryRole).toInt()]);
    }
    return result;
}

QList<AddressEntry> ShowAddressBook(const QList<AddressEntry> &addressList)
{
    if (installedChooser())
        return installedChooser()(addressList);
    AddressBookDialog dialog(addressList, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosen();
}

AddressBookChooser setAddressBookChooser(AddressBookChooser chooser)
{
    return std::exchange(installedChooser(), std::move(chooser));
}

} // namespace Telvora::Mail
