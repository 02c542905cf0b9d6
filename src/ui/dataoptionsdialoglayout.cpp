// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dataoptionsdialoglayout.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace Telvora::Ui {

using Internal::elementName;
using Internal::placeButton;
using Internal::placeCheckBox;
using Internal::placeControl;
using Internal::placeLabel;

void DataOptionsDialogLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmDataOptions"),
                               QStringLiteral("Caller Search Options"), s.size(6000, 3675));
    dialog->setFont(designFont(8.25, false));

    TabStrip1 =
        placeControl<QTabWidget>(dialog, QStringLiteral("TabStrip1"), s.rect(120, 60, 5715, 3045));
    const char *const captions[] = {"Caller Search", "Message Logging"};
    const char *const keys[] = {"CallerSearch", "MessageLogging"};
    for (int index = 0; index < 2; ++index) {
        auto *tabPage = new QWidget(TabStrip1);
        tabPage->setObjectName(QStringLiteral("TabStrip1_%1").arg(QLatin1String(keys[index])));
        TabStrip1->addTab(tabPage, QLatin1String(captions[index]));
        TabStrip1->tabBar()->setTabData(index, QLatin1String(keys[index]));
        picTabFrames[index] = placeControl<QWidget>(dialog, elementName("picTabFrames", index),
                                                    s.rect(330, 570, 5415, 2445));
        picTabFrames[index]->setVisible(index == 0);
    }

    QWidget *page = picTabFrames[0];
    lblPrompt =
        placeLabel(page, QStringLiteral("lblPrompt"), QString(), s.rect(210, 180, 4875, 555));
    lblPrompt->setWordWrap(true);
    chDataEnabled =
        placeCheckBox(page, QStringLiteral("chDataEnabled"),
                      QStringLiteral("&Enable Caller Search"), s.rect(210, 870, 2775, 270));
    lblDirectory =
        placeLabel(page, QStringLiteral("lblDirectory"), QStringLiteral("Caller Search &Database:"),
                   s.rect(210, 1260, 1725, 195));
    txtDirectory =
        placeControl<QLineEdit>(page, QStringLiteral("txtDirectory"), s.rect(210, 1530, 4785, 315));
    lblDirectory->setBuddy(txtDirectory);
    Label2 = placeLabel(page, QStringLiteral("Label2"),
                        QStringLiteral("(Include Full Path and File Name)"),
                        s.rect(210, 1950, 2805, 225));
    cmdBrowse = placeButton(page, QStringLiteral("cmdBrowse"), QStringLiteral("&Browse..."),
                            s.rect(3930, 1920, 1065, 360));

    page = picTabFrames[1];
    Label1 = placeLabel(page, QStringLiteral("Label1(0)"),
                        QStringLiteral("Select Enable Message Logging to Save All Messages Sent or "
                                       "Received to a Message Log database.  Message Logging must "
                                       "be enabled for the Return Receipt feature to work."),
                        s.rect(210, 180, 4875, 705));
    Label1->setWordWrap(true);
    chkMessageLogEnabled =
        placeCheckBox(page, QStringLiteral("chkMessageLogEnabled"),
                      QStringLiteral("&Enable Message Logging"), s.rect(210, 870, 4410, 300));
    Label3 = placeLabel(page, QStringLiteral("Label3"), QStringLiteral("&Log File"),
                        s.rect(210, 1260, 885, 285));
    txtLogFile =
        placeControl<QLineEdit>(page, QStringLiteral("txtLogFile"), s.rect(210, 1530, 4785, 315));
    Label3->setBuddy(txtLogFile);
    Label4 = placeLabel(page, QStringLiteral("Label4"),
                        QStringLiteral("(Include Full Path and File Name)"),
                        s.rect(210, 1950, 3015, 225));
    cmdBrowseLog = placeButton(page, QStringLiteral("cmdBrowseLog"), QStringLiteral("&Browse..."),
                               s.rect(3930, 1920, 1065, 375));

    cmdOK = placeButton(dialog, QStringLiteral("cmdOK"), QStringLiteral("&OK"),
                        s.rect(3060, 3210, 1230, 355));
    cmdOK->setDefault(true);
    cmdCancel = placeButton(dialog, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"),
                            s.rect(4560, 3210, 1230, 355));

    QWidget *const order[] = {
        TabStrip1,  chDataEnabled, txtDirectory, cmdBrowse, chkMessageLogEnabled,
        txtLogFile, cmdBrowseLog,  cmdOK,        cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace Telvora::Ui
