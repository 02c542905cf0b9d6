// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/mainwindowlayout.h"

#include "ui/layoutsupport.h"
#include "ui/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

namespace Telvora::Ui {

using Internal::elementName;
using Internal::placeControl;
using Internal::placeLabel;

namespace {

QAction *addMenuItem(QMenu *menu, const char *name, const QString &caption,
                     const QKeySequence &shortcut = {})
{
    auto *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    return item;
}

QAction *addMenuSeparator(QMenu *menu, const char *name)
{
    auto *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

} // namespace

QRect MainWindowLayout::formRect(const TwipsScale &scale, int left, int top, int width, int height)
{
    return scale.rect(left, top - ToolbarHeightTwips, width, height);
}

void MainWindowLayout::setupUi(QMainWindow *window)
{
    const TwipsScale scale(window);
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("frmMain"));
    window->setWindowTitle(QStringLiteral("MAPI Telvora"));
    window->setWindowIcon(programIcon());

    imglstToolbarSmall = toolbarSmallImages();
    imglstArrow = arrowImages();
    imglstBorders = borderImages();
    imglstSmallPics = smallMessageImages();
    imglstBigPics = bigMessageImages();

    setupMenus(window);
    setupToolbar(window);
    setupStatusBar(window, scale);

    form = new QWidget(window);
    form->setObjectName(QStringLiteral("form"));
    form->setFont(designFont(8.25, true));
    window->setCentralWidget(form);

    setupSlip(scale);
    setupLists(scale);
    setupTabOrder();

    // The client area below the menu bar is designed 7365 by 6345 twips; the
    // tool bar and status bar take their own heights out of it.
    const int formHeight = scale.px(DesignHeightTwips - ToolbarHeightTwips - StatusBarHeightTwips);
    window->resize(scale.px(DesignWidthTwips), window->menuBar()->sizeHint().height() +
                                                   toolbarMain->sizeHint().height() + formHeight +
                                                   StatusBar1->sizeHint().height());
    window->move(scale.px(DesignLeftTwips), scale.px(DesignTopTwips));
}

void MainWindowLayout::setupMenus(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFCompose = addMenuItem(mnuFile, "mnuFCompose", QStringLiteral("&Compose Message"),
                              QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFSend = addMenuItem(mnuFile, "mnuFSend", QStringLiteral("&Send Message"),
                           QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFSaveMessage = addMenuItem(mnuFile, "mnuFSaveMessage", QStringLiteral("Sa&ve Message"));
    mfsep2 = addMenuSeparator(mnuFile, "mfsep2");
    mnuFGetMessages = addMenuItem(mnuFile, "mnuFGetMessages", QStringLiteral("&Get Messages"),
                                  QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuFSep1 = addMenuSeparator(mnuFile, "mnuFSep1");
    mnuFPrintMessage =
        addMenuItem(mnuFile, "mnuFPrintMessage", QStringLiteral("&Print Message..."));
    mnufPrintPending =
        addMenuItem(mnuFile, "mnufPrintPending", QStringLiteral("Print Pending Messages"));
    mnuFSep2 = addMenuSeparator(mnuFile, "mnuFSep2");
    mnuFExit = addMenuItem(mnuFile, "mnuFExit", QStringLiteral("E&xit"));

    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuECut =
        addMenuItem(mnuEdit, "mnuECut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuECopy = addMenuItem(mnuEdit, "mnuECopy", QStringLiteral("&Copy"),
                           QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuEPaste = addMenuItem(mnuEdit, "mnuEPaste", QStringLiteral("&Paste"),
                            QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuEDelete = addMenuItem(mnuEdit, "mnuEDelete", QStringLiteral("&Delete"));
    mnuESep1 = addMenuSeparator(mnuEdit, "mnuESep1");
    mnuEClear = addMenuItem(mnuEdit, "mnuEClear", QStringLiteral("C&lear Telvora"),
                            QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuEDeleteMessage =
        addMenuItem(mnuEdit, "mnuEDeleteMessage", QStringLiteral("Delete &Message"));

    mnuTools = bar->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuTPhoneDialer = addMenuItem(mnuTools, "mnuTPhoneDialer", QStringLiteral("P&hone Dialer"),
                                  QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuTRecipientList =
        addMenuItem(mnuTools, "mnuTRecipientList", QStringLiteral("&Recipient List..."));
    mnuTDataOptions = addMenuItem(mnuTools, "mnuTDataOptions", QStringLiteral("&Data Options..."));
    mnuTPreferences = addMenuItem(mnuTools, "mnuTPreferences", QStringLiteral("&Preferences..."));
    mnuTStatusBar = addMenuItem(mnuTools, "mnuTStatusBar", QStringLiteral("&Status Bar"));
    mnuTStatusBar->setCheckable(true);
    mnuTStatusBar->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHContents = addMenuItem(mnuHelp, "mnuHContents", QStringLiteral("&Contents"));
    mnuhAbout = addMenuItem(mnuHelp, "mnuhAbout", QStringLiteral("&About"));
}

void MainWindowLayout::setupToolbar(QMainWindow *window)
{
    toolbarMain = new QToolBar(window);
    toolbarMain->setObjectName(QStringLiteral("toolbarMain"));
    toolbarMain->setMovable(false);
    toolbarMain->setFloatable(false);
    toolbarMain->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbarMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbarMain->setIconSize(imglstToolbarSmall.imageSize);
    window->addToolBar(Qt::TopToolBarArea, toolbarMain);

    struct Button
    {
        const char *key;
        const char *toolTip;
        int image; // 0 for a separator
    };
    static constexpr Button buttons[] = {
        {nullptr, nullptr, 0},       {"Compose", "Compose Message", 1},
        {"Send", "Send Message", 2}, {nullptr, nullptr, 0},
        {"Save", "Save Message", 3}, {"Print", "Print Message", 4},
        {nullptr, nullptr, 0},       {"Delete", "Delete Message", 5},
        {nullptr, nullptr, 0},       {"GetNew", "Get New Messages", 6},
        {nullptr, nullptr, 0},       {"Dial", "Dial Phone Number", 8},
        {nullptr, nullptr, 0},       {"Help", "Help", 7},
    };
    int number = 1;
    for (const Button &button : buttons) {
        QAction *action = nullptr;
        if (button.image == 0) {
            action = toolbarMain->addSeparator();
        } else {
            action = toolbarMain->addAction(imglstToolbarSmall.icon(button.image),
                                            QLatin1String(button.toolTip));
            action->setObjectName(QLatin1String(button.key));
            action->setToolTip(QLatin1String(button.toolTip));
            action->setData(QLatin1String(button.key));
        }
        toolbarMainButtons[number++] = action;
    }
}

void MainWindowLayout::setupStatusBar(QMainWindow *window, const TwipsScale &scale)
{
    StatusBar1 = new QStatusBar(window);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    window->setStatusBar(StatusBar1);

    // The panels share the free width in the proportions of their design
    // widths. Their designed minimum widths add up to more than the window's
    // width and are not imposed, so the window can still be made narrow.
    struct Panel
    {
        const char *key;
        int widthTwips;
        Qt::Alignment alignment;
    };
    static constexpr Panel panels[] = {
        {"Pending", 5300, Qt::AlignLeft | Qt::AlignVCenter},
        {"Log", 3536, Qt::AlignCenter},
        {"Caller", 3536, Qt::AlignCenter},
    };
    int number = 1;
    for (const Panel &panel : panels) {
        auto *label = new QLabel(StatusBar1);
        label->setObjectName(QLatin1String(panel.key));
        label->setAlignment(panel.alignment);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(scale.px(300));
        StatusBar1->addWidget(label, panel.widthTwips);
        statusPanels[number++] = label;
    }
}

void MainWindowLayout::setupSlip(const TwipsScale &scale)
{
    const auto at = [&scale](int left, int top, int width, int height) {
        return formRect(scale, left, top, width, height);
    };

    imgBorder = placeControl<QLabel>(form, QStringLiteral("imgBorder"), at(45, 420, 300, 3015));
    imgBorder->setPixmap(imglstBorders.picture(1));
    imgBorder->setScaledContents(true);

    struct Field
    {
        int label; // element of laMsg, -1 for none
        const char *caption;
        QRect labelTwips;
        QRect boxTwips;
    };
    static const Field fields[] = {
        {-1, nullptr, {}, {}},
        {0, "&Date/Time", {450, 525, 1125, 255}, {1440, 480, 1500, 360}},
        {-1, nullptr, {}, {2955, 480, 1155, 360}},
        {2, "T&o", {420, 915, 1125, 255}, {1440, 870, 2415, 360}},
        {3, "&Caller", {420, 1335, 1125, 255}, {1440, 1260, 2655, 360}},
        {4, "Of", {420, 1695, 1125, 255}, {1440, 1650, 2655, 360}},
        {5, "Phone", {420, 2100, 1125, 255}, {1440, 2055, 2640, 360}},
        {6, "&Note", {420, 2490, 1125, 255}, {1440, 2460, 5790, 645}},
    };
    const QFont fieldFont = designFont(9.75, true);
    for (int index = 1; index <= 7; ++index) {
        const Field &field = fields[index];
        if (field.label >= 0) {
            const QRect &r = field.labelTwips;
            laMsg[field.label] =
                placeLabel(form, elementName("laMsg", field.label), QLatin1String(field.caption),
                           at(r.x(), r.y(), r.width(), r.height()));
        }
        const QRect &r = field.boxTwips;
        QWidget *box = nullptr;
        if (index == 7) {
            tbMsgNote = placeControl<QPlainTextEdit>(form, elementName("tbMsg", index),
                                                     at(r.x(), r.y(), r.width(), r.height()));
            tbMsgNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            tbMsgNote->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            tbMsgNote->setTabChangesFocus(true);
            box = tbMsgNote;
        } else {
            tbMsg[index] = placeControl<QLineEdit>(form, elementName("tbMsg", index),
                                                   at(r.x(), r.y(), r.width(), r.height()));
            box = tbMsg[index];
        }
        box->setFont(fieldFont);
        if (field.label >= 0)
            laMsg[field.label]->setBuddy(box);
    }

    struct Action
    {
        const char *caption;
        QRect twips;
    };
    static const Action actions[] = {
        {"Te&lephoned", {4200, 525, 1560, 270}},   {"&Returned Call", {4200, 825, 1560, 270}},
        {"Ple&ase Call", {4200, 1155, 1560, 270}}, {"&Will Call Back", {4200, 1485, 1560, 270}},
        {"&Stopped By", {4200, 1800, 1560, 285}},  {"&Urgent", {4200, 2130, 1560, 270}},
        {"Returned Call", {5775, 780, 1650, 270}}, {"Left Message", {5775, 1110, 1650, 270}},
        {"Try Again", {5775, 1425, 1650, 270}},    {"Forwarded", {5775, 1725, 1650, 270}},
    };
    for (int index = 0; index < 10; ++index) {
        const QRect &r = actions[index].twips;
        chMsg[index] = placeControl<QCheckBox>(form, elementName("chMsg", index),
                                               at(r.x(), r.y(), r.width(), r.height()));
        chMsg[index]->setText(QLatin1String(actions[index].caption));
        // The Tab key enters each group at its first box only.
        if (index != 0 && index != 6)
            chMsg[index]->setFocusPolicy(Qt::ClickFocus);
        // The follow-up boxes wait for a received message.
        if (index >= 6)
            chMsg[index]->setEnabled(false);
    }

    Label2 = placeLabel(form, QStringLiteral("Label2"), QStringLiteral("Follow-Up"),
                        at(5760, 450, 1560, 255), Qt::AlignHCenter | Qt::AlignTop);
    Label2->setFont(designFont(9.75, true));
    setTextColour(Label2, DarkBlue);

    cbForward =
        placeControl<QPushButton>(form, QStringLiteral("cbForward"), at(5790, 2055, 1305, 300));
    cbForward->setText(QStringLiteral("Forward..."));
    cbForward->setAutoDefault(false);
    cbForward->setEnabled(false);
    setButtonFace(cbForward, LightGrey);

    Label3 = placeLabel(form, QStringLiteral("Label3"), QStringLiteral("Taken By"),
                        at(1110, 3135, 975, 240), Qt::AlignRight | Qt::AlignTop);
    laBy = placeLabel(form, QStringLiteral("laBy"), QString(), at(2205, 3135, 2040, 225));
    laBy->setFont(designFont(8.25, true));

    chkReturnReceipt = placeControl<QCheckBox>(form, QStringLiteral("chkReturnReceipt"),
                                               at(3480, 3150, 2325, 285));
    chkReturnReceipt->setText(QStringLiteral("Return Receipt Re&quested"));

    lblReceiptStatus =
        placeLabel(form, QStringLiteral("lblReceiptStatus"), QString(), at(5850, 3210, 1485, 285));

    cmdIgnore =
        placeControl<QPushButton>(form, QStringLiteral("cmdIgnore"), at(5850, 3150, 1365, 315));
    cmdIgnore->setText(QStringLiteral("Ignore"));
    cmdIgnore->setAutoDefault(false);
    cmdIgnore->setVisible(false);

    // The drop-down of the To field: a one-button tool bar and the pick list
    // that opens below the field, over the fields under it.
    Toolbar1 = placeControl<QToolBar>(form, QStringLiteral("Toolbar1"), at(3840, 870, 345, 390));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->setIconSize(imglstArrow.imageSize);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1Button = Toolbar1->addAction(imglstArrow.icon(1), QString());
    Toolbar1Button->setObjectName(QStringLiteral("Toolbar1Button"));

    lstRecipients =
        placeControl<QListWidget>(form, QStringLiteral("lstRecipients"), at(1575, 1215, 2535, 780));
    lstRecipients->setFont(fieldFont);
    lstRecipients->setSortingEnabled(false);
    lstRecipients->setVisible(false);

    txtPoke = placeControl<QLineEdit>(form, QStringLiteral("txtPoke"), at(7650, 1860, 2445, 285));
    txtPoke->setFocusPolicy(Qt::NoFocus);
    txtPoke->setVisible(false);
}

void MainWindowLayout::setupLists(const TwipsScale &scale)
{
    const auto at = [&scale](int left, int top, int width, int height) {
        return formRect(scale, left, top, width, height);
    };

    // The tab strip draws the tabs and the frame; the lists lie over it and
    // its pages stay empty.
    tabMessages =
        placeControl<QTabWidget>(form, QStringLiteral("tabMessages"), at(60, 3465, 7470, 2700));
    struct Tab
    {
        const char *caption;
        const char *key;
        const char *toolTip;
    };
    static constexpr Tab tabs[] = {
        {"&Pending Messages", "Pending", "List of Pending Phone Messages"},
        {"Rece&ipt Requested", "ReceiptRequested", "Messages Awaiting Return Receipt"},
        {"&Message Log", "MessageLog", "Log of Messages Sent and Received"},
    };
    for (const Tab &tab : tabs) {
        auto *page = new QWidget(tabMessages);
        page->setObjectName(QStringLiteral("tabMessages_%1").arg(QLatin1String(tab.key)));
        const int index = tabMessages->addTab(page, QLatin1String(tab.caption));
        tabMessages->tabBar()->setTabData(index, QLatin1String(tab.key));
        tabMessages->setTabToolTip(index, QLatin1String(tab.toolTip));
    }

    const QFont listFont = designFont(9.75, false);
    lvMsgs = placeControl<QTreeWidget>(form, QStringLiteral("lvMsgs"), at(165, 3855, 7230, 2145));
    lvMsgs->setFont(listFont);
    lvMsgs->setRootIsDecorated(false);
    lvMsgs->setUniformRowHeights(true);
    lvMsgs->setAllColumnsShowFocus(true);
    lvMsgs->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMsgs->setIconSize(imglstSmallPics.imageSize);
    lvMsgs->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Phone"), QStringLiteral("Date")});
    lvMsgs->setColumnWidth(0, scale.px(2300));
    lvMsgs->setColumnWidth(1, scale.px(1607));
    lvMsgs->setColumnWidth(2, scale.px(1900));
    // Until the user picks a column, the list is ordered by name, ascending.
    lvMsgs->setSortingEnabled(false);
    lvMsgs->header()->setSortIndicator(0, Qt::AscendingOrder);
    lvMsgs->raise();

    // The design position; the controller moves it onto lvMsgs at load.
    dblstMessages =
        placeControl<QListView>(form, QStringLiteral("dblstMessages"), at(660, 3930, 6795, 2010));
    dblstMessages->setFont(listFont);
    dblstMessages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dblstMessages->setVisible(false);
    dblstMessages->raise();

    // The pick list opens over everything below the To field.
    lstRecipients->raise();
}

void MainWindowLayout::setupTabOrder()
{
    // Labels, tool bars and the status bar take no focus; hidden and disabled
    // controls are passed over when tabbing.
    QWidget *const order[] = {
        tabMessages, lvMsgs,           tbMsg[1],      tbMsg[2], lstRecipients, tbMsg[3], tbMsg[4],
        tbMsg[5],    tbMsg[6],         tbMsgNote,     chMsg[0], chMsg[1],      chMsg[2], chMsg[3],
        chMsg[4],    chMsg[5],         chMsg[6],      chMsg[7], chMsg[8],      chMsg[9], cbForward,
        cmdIgnore,   chkReturnReceipt, dblstMessages, txtPoke,
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QAction *MainWindowLayout::toolbarButton(const QString &key) const
{
    for (QAction *button : toolbarMainButtons) {
        if (button && !button->isSeparator() && button->objectName() == key)
            return button;
    }
    return nullptr;
}

QLabel *MainWindowLayout::statusPanel(const QString &key) const
{
    for (QLabel *panel : statusPanels) {
        if (panel && panel->objectName() == key)
            return panel;
    }
    return nullptr;
}

QWidget *MainWindowLayout::messageField(int index) const
{
    if (index == 7)
        return tbMsgNote;
    return index >= 1 && index <= 6 ? tbMsg[index] : nullptr;
}

QString MainWindowLayout::messageFieldText(int index) const
{
    if (index == 7)
        return tbMsgNote ? tbMsgNote->toPlainText() : QString();
    return index >= 1 && index <= 6 && tbMsg[index] ? tbMsg[index]->text() : QString();
}

void MainWindowLayout::setMessageFieldText(int index, const QString &text) const
{
    if (index == 7 && tbMsgNote)
        tbMsgNote->setPlainText(text);
    else if (index >= 1 && index <= 6 && tbMsg[index])
        tbMsg[index]->setText(text);
}

} // namespace Telvora::Ui
