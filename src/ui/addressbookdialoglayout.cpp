// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/addressbookdialoglayout.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace Telvora::Ui {

using Internal::placeButton;
using Internal::placeControl;
using Internal::placeLabel;

void AddressBookDialogLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmAddressBook"),
                               QStringLiteral("Address Book"), s.size(5400, 4020));
    dialog->setFont(designFont(8.25, true));

    lblNames = placeLabel(dialog, QStringLiteral("lblNames"), QStringLiteral("&Names:"),
                          s.rect(240, 180, 3480, 240));
    lstAddresses = placeControl<QListWidget>(dialog, QStringLiteral("lstAddresses"),
                                             s.rect(240, 450, 3480, 3330));
    lstAddresses->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lblNames->setBuddy(lstAddresses);
    cmdOK = placeButton(dialog, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                        s.rect(3960, 450, 1200, 375));
    cmdOK->setDefault(true);
    cmdCancel = placeButton(dialog, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                            s.rect(3960, 900, 1200, 375));

    QWidget::setTabOrder(lstAddresses, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);
}

} // namespace Telvora::Ui
