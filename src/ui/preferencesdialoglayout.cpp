// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferencesdialoglayout.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

namespace Telvora::Ui {

using Internal::elementName;
using Internal::placeButton;
using Internal::placeCheckBox;
using Internal::placeControl;
using Internal::placeLabel;

void PreferencesDialogLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmPreferences"),
                               QStringLiteral("Telvora Preferences"), s.size(6135, 3690));
    dialog->setFont(designFont(8.25, false));
    ImageList1 = soundFileImages();

    tabPreferences = placeControl<QTabWidget>(dialog, QStringLiteral("tabPreferences"),
                                              s.rect(150, 120, 5805, 3045));
    struct Tab
    {
        const char *caption;
        const char *key;
        const char *toolTip;
    };
    static constexpr Tab tabs[] = {
        {"Messages", "", "Set Action Defaults"},
        {"Composing New Messages", "", ""},
        {"Logon/Delivery", "Logon", ""},
    };
    for (int index = 0; index < 3; ++index) {
        auto *tabPage = new QWidget(tabPreferences);
        tabPage->setObjectName(QStringLiteral("tabPreferences_%1").arg(index + 1));
        tabPreferences->addTab(tabPage, QLatin1String(tabs[index].caption));
        tabPreferences->tabBar()->setTabData(index, QLatin1String(tabs[index].key));
        tabPreferences->setTabToolTip(index, QLatin1String(tabs[index].toolTip));
        // Every page lies at page 0's place; only page 0 shows at first.
        picTabFrames[index] = placeControl<QWidget>(dialog, elementName("picTabFrames", index),
                                                    s.rect(300, 570, 5475, 2445));
        picTabFrames[index]->setVisible(index == 0);
    }

    QWidget *page = picTabFrames[0];
    Label2 =
        placeLabel(page, QStringLiteral("Label2(0)"),
                   QStringLiteral("Check for new messages every"), s.rect(180, 210, 2835, 345));
    tbMinutes =
        placeControl<QLineEdit>(page, QStringLiteral("tbMinutes"), s.rect(2700, 180, 630, 315));
    Label1[1] = placeLabel(page, elementName("Label1", 1), QStringLiteral("minutes (0=Never)"),
                           s.rect(3420, 210, 1755, 255));
    chChimes = placeCheckBox(page, QStringLiteral("chChimes"),
                             QStringLiteral("&Beep or play sound file when new message arrives"),
                             s.rect(150, 630, 5115, 300));
    Label5 = placeLabel(page, QStringLiteral("Label5"), QStringLiteral("Sound File:"),
                        s.rect(420, 1020, 825, 285));
    txtSoundFile =
        placeControl<QLineEdit>(page, QStringLiteral("txtSoundFile"), s.rect(1260, 960, 3225, 345));
    Toolbar1 =
        placeControl<QToolBar>(page, QStringLiteral("Toolbar1"), s.rect(4530, 930, 1065, 390));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->setIconSize(ImageList1.imageSize);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1Buttons[1] = Toolbar1->addAction(QIcon(ImageList1.picture(QStringLiteral("Browse"))),
                                             QStringLiteral("Browse for Sound File"));
    Toolbar1Buttons[1]->setObjectName(QStringLiteral("Browse"));
    Toolbar1Buttons[2] = Toolbar1->addAction(QIcon(ImageList1.picture(QStringLiteral("Play"))),
                                             QStringLiteral("Play Sound File"));
    Toolbar1Buttons[2]->setObjectName(QStringLiteral("Play"));
    chPopUp = placeCheckBox(page, QStringLiteral("chPopUp"),
                            QStringLiteral("D&isplay Pop-Up Dialog for new phone messages"),
                            s.rect(150, 1440, 5115, 300));
    chkConfirmDeletes = placeCheckBox(page, QStringLiteral("chkConfirmDeletes"),
                                      QStringLiteral("Confirm before &Deleting Messages"),
                                      s.rect(150, 1770, 5190, 315));
    chkLaunch = placeCheckBox(page, QStringLiteral("chkLaunch"),
                              QStringLiteral("L&aunch Telvora when message opened in Inbox"),
                              s.rect(150, 2130, 5265, 240));

    page = picTabFrames[1];
    Label1[2] = placeLabel(
        page, elementName("Label1", 2),
        QStringLiteral("Select the Items to Automatically Check When Composing a New Message"),
        s.rect(180, 210, 3765, 390));
    Label1[2]->setWordWrap(true);
    struct Action
    {
        const char *caption;
        QRect twips;
    };
    static const Action actions[] = {
        {"Te&lephoned", {210, 780, 2085, 270}},   {"&Returned Your Call", {210, 1050, 2070, 270}},
        {"&Please Call", {210, 1320, 1935, 270}}, {"&Will Call Again", {2445, 795, 1770, 270}},
        {"Stopped B&y", {2430, 1065, 1770, 270}}, {"&Urgent", {2430, 1335, 1770, 270}},
    };
    for (int index = 0; index < 6; ++index) {
        const QRect &r = actions[index].twips;
        chMsg[index] =
            placeCheckBox(page, elementName("chMsg", index), QLatin1String(actions[index].caption),
                          s.rect(r.x(), r.y(), r.width(), r.height()));
        if (index != 0)
            chMsg[index]->setFocusPolicy(Qt::ClickFocus);
    }
    chkReturnReceipt =
        placeCheckBox(page, QStringLiteral("chkReturnReceipt"),
                      QStringLiteral("Return Receipt Re&quested"), s.rect(210, 1710, 4455, 285));
    Label1[3] =
        placeLabel(page, elementName("Label1", 3),
                   QStringLiteral("(Message Logging must be enabled to use Return Receipt)"),
                   s.rect(480, 1980, 4725, 195));
    Label1[3]->setWordWrap(true);

    page = picTabFrames[2];
    chkNewSession = placeCheckBox(page, QStringLiteral("chkNewSession"),
                                  QStringLiteral("Create new MAPI Session when Telvora is started"),
                                  s.rect(240, 150, 4845, 315));
    Label1[4] = placeLabel(page, elementName("Label1", 4),
                           QStringLiteral("If selected, Telvora will always start a new MAPI "
                                          "Session, which allows you to select the Exchange "
                                          "Profile that is used by Telvora.  "),
                           s.rect(540, 480, 4305, 615));
    Label1[4]->setWordWrap(true);
    chkForceDelivery =
        placeCheckBox(page, QStringLiteral("chkForceDelivery"),
                      QStringLiteral("Force delivery of messages"), s.rect(240, 1320, 4845, 315));
    Label1[0] = placeLabel(page, elementName("Label1", 0),
                           QStringLiteral("If selected, Telvora will force delivery of messages "
                                          "from the Mail server when Telvora is started  and when "
                                          "the Get Messages button is clicked."),
                           s.rect(540, 1650, 4365, 585));
    Label1[0]->setWordWrap(true);

    cmdOK = placeButton(dialog, QStringLiteral("cmdOK"), QStringLiteral("&OK"),
                        s.rect(2430, 3270, 1095, 345));
    cmdOK->setDefault(true);
    cmdCancel = placeButton(dialog, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"),
                            s.rect(3630, 3270, 1095, 345));
    cmdHelp = placeButton(dialog, QStringLiteral("cmdHelp"), QStringLiteral("&Help"),
                          s.rect(4830, 3270, 1095, 345));

    // The composing page comes right after the tab strip, then the messages
    // page, the logon page and the buttons.
    QWidget *const order[] = {
        tabPreferences,   chMsg[0], chMsg[1],          chMsg[2],  chMsg[3],
        chMsg[4],         chMsg[5], chkReturnReceipt,  tbMinutes, chChimes,
        txtSoundFile,     chPopUp,  chkConfirmDeletes, chkLaunch, chkNewSession,
        chkForceDelivery, cmdOK,    cmdCancel,         cmdHelp,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace Telvora::Ui
