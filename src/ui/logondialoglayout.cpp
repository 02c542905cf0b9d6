// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logondialoglayout.h"

#include "ui/artwork.h"
#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Telvora::Ui {

using Internal::placeButton;
using Internal::placeControl;
using Internal::placeLabel;

void LogonDialogLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmLogon"),
                               QStringLiteral("Telvora Sign On"), s.size(6840, 2700));
    dialog->setFont(designFont(8.25, false));
    dialog->setWindowIcon(programIcon());

    lblPostOffice = placeLabel(dialog, QStringLiteral("lblPostOffice"),
                               QStringLiteral("&Post office:"), s.rect(120, 195, 1215, 255));
    txtPostOffice = placeControl<QLineEdit>(dialog, QStringLiteral("txtPostOffice"),
                                            s.rect(1350, 150, 3570, 330));
    lblPostOffice->setBuddy(txtPostOffice);
    cmdBrowse = placeButton(dialog, QStringLiteral("cmdBrowse"), QStringLiteral("&Browse..."),
                            s.rect(5040, 143, 1680, 345));
    lblFolderState = placeLabel(dialog, QStringLiteral("lblFolderState"), QString(),
                                s.rect(1350, 555, 3570, 480));
    lblFolderState->setWordWrap(true);
    cmdCreatePostOffice =
        placeButton(dialog, QStringLiteral("cmdCreatePostOffice"),
                    QStringLiteral("Create Post &Office"), s.rect(5040, 555, 1680, 345));

    lblMailbox = placeLabel(dialog, QStringLiteral("lblMailbox"), QStringLiteral("&Mailbox:"),
                            s.rect(120, 1155, 1215, 255));
    cboMailbox = placeControl<QComboBox>(dialog, QStringLiteral("cboMailbox"),
                                         s.rect(1350, 1110, 3570, 330));
    cboMailbox->setEditable(true);
    cboMailbox->setInsertPolicy(QComboBox::NoInsert);
    lblMailbox->setBuddy(cboMailbox);
    cmdCreateMailbox =
        placeButton(dialog, QStringLiteral("cmdCreateMailbox"), QStringLiteral("Create Mail&box"),
                    s.rect(5040, 1103, 1680, 345));

    lblDisplayName = placeLabel(dialog, QStringLiteral("lblDisplayName"),
                                QStringLiteral("&Display name:"), s.rect(120, 1605, 1215, 255));
    txtDisplayName = placeControl<QLineEdit>(dialog, QStringLiteral("txtDisplayName"),
                                             s.rect(1350, 1560, 3570, 330));
    txtDisplayName->setPlaceholderText(
        QStringLiteral("for a new mailbox: the name others send to"));
    lblDisplayName->setBuddy(txtDisplayName);

    cmdOK = placeButton(dialog, QStringLiteral("cmdOK"), QStringLiteral("OK"),
                        s.rect(4065, 2175, 1215, 345));
    cmdOK->setDefault(true);
    cmdCancel = placeButton(dialog, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"),
                            s.rect(5505, 2175, 1215, 345));

    QWidget::setTabOrder(txtPostOffice, cmdBrowse);
    QWidget::setTabOrder(cmdBrowse, cmdCreatePostOffice);
    QWidget::setTabOrder(cmdCreatePostOffice, cboMailbox);
    QWidget::setTabOrder(cboMailbox, cmdCreateMailbox);
    QWidget::setTabOrder(cmdCreateMailbox, txtDisplayName);
    QWidget::setTabOrder(txtDisplayName, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);
}

} // namespace Telvora::Ui
