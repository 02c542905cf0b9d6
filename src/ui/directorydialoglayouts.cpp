// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/directorydialoglayouts.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

namespace Telvora::Ui {

using Internal::elementName;
using Internal::placeButton;
using Internal::placeControl;
using Internal::placeLabel;

void GetDirLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("GetDir"), QStringLiteral("Select Directory"),
                               s.size(7110, 3465));
    dialog->setFont(designFont(8.25, true));

    Dir1 = placeControl<QTreeView>(dialog, QStringLiteral("Dir1"), s.rect(2520, 870, 2415, 1830));
    Dir1->setHeaderHidden(true);
    Dir1->setUniformRowHeights(true);
    Dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Label3 = placeLabel(dialog, QStringLiteral("Label3"), QStringLiteral("Dri&ves:"),
                        s.rect(2535, 2745, 2430, 225));
    Drive1 =
        placeControl<QComboBox>(dialog, QStringLiteral("Drive1"), s.rect(2520, 2970, 2415, 315));
    Label3->setBuddy(Drive1);
    Label1 = placeLabel(dialog, QStringLiteral("Label1"), QStringLiteral("Select a Directory"),
                        s.rect(330, 195, 6720, 255));
    cbOK[0] = placeButton(dialog, elementName("cbOK", 0), QStringLiteral("&OK"),
                          s.rect(5115, 870, 1215, 375));
    cbOK[0]->setDefault(true);
    Label2 = placeLabel(dialog, QStringLiteral("Label2"), QString(), s.rect(1590, 525, 3375, 255));
    cbDirectory =
        placeButton(dialog, QStringLiteral("cbDirectory"), QStringLiteral("Create &Directory..."),
                    s.rect(5115, 1950, 1890, 375));
    cbOK[1] = placeButton(dialog, elementName("cbOK", 1), QStringLiteral("&Cancel"),
                          s.rect(5115, 1350, 1215, 375));
    flFiles =
        placeControl<QListView>(dialog, QStringLiteral("flFiles"), s.rect(330, 870, 1875, 2205));
    flFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = flFiles->palette();
    palette.setColor(QPalette::Base, DarkGrey);
    flFiles->setPalette(palette);
    Label4 = placeLabel(dialog, QStringLiteral("Label4"), QStringLiteral("SELECTION:"),
                        s.rect(330, 540, 1260, 255));

    QWidget *const order[] = {Dir1, Drive1, cbOK[0], cbDirectory, cbOK[1], flFiles};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void GetDir2Layout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("GetDir2"),
                               QStringLiteral("Create Directory"), s.size(4770, 1800));
    dialog->setFont(designFont(8.25, true));

    Label1 = placeLabel(dialog, QStringLiteral("Label1"), QStringLiteral("Current Directory:"),
                        s.rect(240, 240, 1830, 255));
    laDirectory =
        placeLabel(dialog, QStringLiteral("laDirectory"), QString(), s.rect(1995, 240, 2625, 255));
    Label3 = placeLabel(dialog, QStringLiteral("Label3"), QStringLiteral("&Name:"),
                        s.rect(240, 660, 555, 255));
    tbName = placeControl<QLineEdit>(dialog, QStringLiteral("tbName"), s.rect(885, 600, 3660, 375));
    Label3->setBuddy(tbName);
    Command1[0] = placeButton(dialog, elementName("Command1", 0), QStringLiteral("&OK"),
                              s.rect(1800, 1260, 1215, 375));
    Command1[0]->setDefault(true);
    Command1[1] = placeButton(dialog, elementName("Command1", 1), QStringLiteral("&Cancel"),
                              s.rect(3240, 1260, 1215, 375));

    QWidget::setTabOrder(tbName, Command1[0]);
    QWidget::setTabOrder(Command1[0], Command1[1]);
}

} // namespace Telvora::Ui
