// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/recipientsdialoglayout.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace Telvora::Ui {

using Internal::placeButton;
using Internal::placeControl;
using Internal::placeLabel;

void RecipientsDialogLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmRecipients"),
                               QStringLiteral("Recipient List"), s.size(4800, 2880));
    dialog->setFont(designFont(8.25, true));

    Label1 = placeLabel(dialog, QStringLiteral("Label1(0)"), QStringLiteral("Recipient &Name:"),
                        s.rect(255, 600, 2355, 240));
    txtRecipient = placeControl<QLineEdit>(dialog, QStringLiteral("txtRecipient"),
                                           s.rect(225, 870, 2505, 315));
    Label1->setBuddy(txtRecipient);
    lstRecipients = placeControl<QListWidget>(dialog, QStringLiteral("lstRecipients"),
                                              s.rect(480, 1185, 2250, 1425));
    lstRecipients->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdAdd = placeButton(dialog, QStringLiteral("cmdAdd"), QStringLiteral("&Add"),
                         s.rect(3030, 795, 1515, 350));
    cmdAddressBook = placeButton(dialog, QStringLiteral("cmdAddressBook"),
                                 QStringLiteral("Address &Book"), s.rect(3030, 1170, 1515, 350));
    cmdRemove = placeButton(dialog, QStringLiteral("cmdRemove"), QStringLiteral("&Remove"),
                            s.rect(3030, 1545, 1515, 350));
    cmdDirectory = placeButton(dialog, QStringLiteral("cmdDirectory"),
                               QStringLiteral("Data D&irectory"), s.rect(3030, 1920, 1515, 350));
    cmdDone = placeButton(dialog, QStringLiteral("cmdDone"), QStringLiteral("&Done"),
                          s.rect(3030, 2400, 1515, 350));
    cmdDone->setDefault(true);
    Label2 = placeLabel(dialog, QStringLiteral("Label2"),
                        QStringLiteral("Enter Names of Mail Recipients for Pick List"),
                        s.rect(270, 195, 4530, 330));

    QWidget *const order[] = {txtRecipient, lstRecipients, cmdAdd, cmdAddressBook,
                              cmdRemove,    cmdDirectory,  cmdDone};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace Telvora::Ui
