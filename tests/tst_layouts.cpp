// SPDX-License-Identifier: GPL-3.0-or-later
// The window designs: names, captions and twips geometry of a sample of
// controls, the slip's tab order and access keys, and the state the windows
// open in.

#include "ui/aboutsplashlayouts.h"
#include "ui/dataoptionsdialoglayout.h"
#include "ui/directorydialoglayouts.h"
#include "ui/mainwindowlayout.h"
#include "ui/preferencesdialoglayout.h"
#include "ui/recipientsdialoglayout.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace Telvora::Ui;

class LayoutsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void slipTabOrderAndAccessKeys();
    void designState();

private:
    // Pixels for twips at the DPI of the screen the window is on, as the
    // layouts are meant to convert them.
    static int px(const QWidget *window, int twips)
    {
        return qRound(twips * window->screen()->logicalDotsPerInch() / 1440.0);
    }
    QWidget *window(const QString &name) const;

    QMainWindow m_main;
    MainWindowLayout m_mainUi;
    QDialog m_preferences;
    PreferencesDialogLayout m_preferencesUi;
    QDialog m_dataOptions;
    DataOptionsDialogLayout m_dataOptionsUi;
    QDialog m_recipients;
    RecipientsDialogLayout m_recipientsUi;
    QDialog m_getDir;
    GetDirLayout m_getDirUi;
    QDialog m_getDir2;
    GetDir2Layout m_getDir2Ui;
    QDialog m_about;
    AboutBoxLayout m_aboutUi;
    QFrame m_splash;
    SplashWindowLayout m_splashUi;
};

void LayoutsTest::initTestCase()
{
    m_mainUi.setupUi(&m_main);
    m_preferencesUi.setupUi(&m_preferences);
    m_dataOptionsUi.setupUi(&m_dataOptions);
    m_recipientsUi.setupUi(&m_recipients);
    m_getDirUi.setupUi(&m_getDir);
    m_getDir2Ui.setupUi(&m_getDir2);
    m_aboutUi.setupUi(&m_about);
    m_splashUi.setupUi(&m_splash);
}

QWidget *LayoutsTest::window(const QString &name) const
{
    const QList<const QWidget *> windows = {&m_main,       &m_preferences, &m_dataOptions,
                                            &m_recipients, &m_getDir,      &m_getDir2,
                                            &m_about,      &m_splash};
    for (const QWidget *candidate : windows) {
        if (candidate->objectName() == name)
            return const_cast<QWidget *>(candidate);
    }
    return nullptr;
}

void LayoutsTest::controls_data()
{
    QTest::addColumn<QString>("windowName");
    QTest::addColumn<QString>("control"); // empty: the window's client size
    QTest::addColumn<QString>("caption"); // null: not checked
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char *windowName, const char *control, const char *caption,
                        QRect twips) {
        QTest::addRow("%s %s", windowName, *control ? control : "size")
            << QString::fromLatin1(windowName) << QString::fromLatin1(control)
            << (caption ? QString::fromUtf8(caption) : QString()) << twips;
    };
    row("frmMain", "laMsg(0)", "&Date/Time", {450, 525, 1125, 255});
    row("frmMain", "tbMsg(1)", "", {1440, 480, 1500, 360});
    row("frmMain", "tbMsg(3)", "", {1440, 870, 2415, 360});
    row("frmMain", "laMsg(6)", "&Note", {420, 2490, 1125, 255});
    row("frmMain", "tbMsg(7)", nullptr, {1440, 2460, 5790, 645});
    row("frmMain", "chMsg(0)", "Te&lephoned", {4200, 525, 1560, 270});
    row("frmMain", "chMsg(4)", "&Stopped By", {4200, 1800, 1560, 285});
    row("frmMain", "chMsg(9)", "Forwarded", {5775, 1725, 1650, 270});
    row("frmMain", "Label2", "Follow-Up", {5760, 450, 1560, 255});
    row("frmMain", "cbForward", "Forward...", {5790, 2055, 1305, 300});
    row("frmMain", "Label3", "Taken By", {1110, 3135, 975, 240});
    row("frmMain", "chkReturnReceipt", "Return Receipt Re&quested", {3480, 3150, 2325, 285});
    row("frmMain", "cmdIgnore", "Ignore", {5850, 3150, 1365, 315});
    row("frmMain", "imgBorder", nullptr, {45, 420, 300, 3015});
    row("frmMain", "Toolbar1", nullptr, {3840, 870, 345, 390});
    row("frmMain", "lstRecipients", nullptr, {1575, 1215, 2535, 780});
    row("frmMain", "tabMessages", nullptr, {60, 3465, 7470, 2700});
    row("frmMain", "lvMsgs", nullptr, {165, 3855, 7230, 2145});
    row("frmMain", "dblstMessages", nullptr, {660, 3930, 6795, 2010});
    row("frmMain", "txtPoke", "", {7650, 1860, 2445, 285});

    row("frmPreferences", "", nullptr, {0, 0, 6135, 3690});
    row("frmPreferences", "tabPreferences", nullptr, {150, 120, 5805, 3045});
    row("frmPreferences", "picTabFrames(2)", nullptr, {300, 570, 5475, 2445});
    row("frmPreferences", "tbMinutes", "", {2700, 180, 630, 315});
    row("frmPreferences", "chChimes", "&Beep or play sound file when new message arrives",
        {150, 630, 5115, 300});
    row("frmPreferences", "chMsg(1)", "&Returned Your Call", {210, 1050, 2070, 270});
    row("frmPreferences", "Label1(3)", "(Message Logging must be enabled to use Return Receipt)",
        {480, 1980, 4725, 195});
    row("frmPreferences", "chkForceDelivery", "Force delivery of messages", {240, 1320, 4845, 315});
    row("frmPreferences", "cmdHelp", "&Help", {4830, 3270, 1095, 345});

    row("frmDataOptions", "", nullptr, {0, 0, 6000, 3675});
    row("frmDataOptions", "chDataEnabled", "&Enable Caller Search", {210, 870, 2775, 270});
    row("frmDataOptions", "txtLogFile", "", {210, 1530, 4785, 315});
    row("frmDataOptions", "cmdBrowseLog", "&Browse...", {3930, 1920, 1065, 375});
    row("frmDataOptions", "cmdCancel", "&Cancel", {4560, 3210, 1230, 355});

    row("frmRecipients", "", nullptr, {0, 0, 4800, 2880});
    row("frmRecipients", "Label1(0)", "Recipient &Name:", {255, 600, 2355, 240});
    row("frmRecipients", "lstRecipients", nullptr, {480, 1185, 2250, 1425});
    row("frmRecipients", "cmdDirectory", "Data D&irectory", {3030, 1920, 1515, 350});

    row("GetDir", "", nullptr, {0, 0, 7110, 3465});
    row("GetDir", "Dir1", nullptr, {2520, 870, 2415, 1830});
    row("GetDir", "cbOK(1)", "&Cancel", {5115, 1350, 1215, 375});
    row("GetDir", "flFiles", nullptr, {330, 870, 1875, 2205});
    row("GetDir2", "", nullptr, {0, 0, 4770, 1800});
    row("GetDir2", "tbName", "", {885, 600, 3660, 375});
    row("GetDir2", "Command1(0)", "&OK", {1800, 1260, 1215, 375});

    row("frmAbout", "", nullptr, {0, 0, 4905, 2265});
    row("frmAbout", "Command1", "OK", {3840, 330, 915, 615});
    row("frmAbout", "Label1(0)", "MAPI Telvora", {885, 480, 3210, 360});
    row("frmAbout", "Label1(1)", "Version  4.0.52", {900, 810, 1875, 465});
    row("frmSplash", "", nullptr, {0, 0, 3900, 1965});
    row("frmSplash", "lblProductName", "MAPI Telvora", {900, 210, 2805, 435});
    row("frmSplash", "lblVersion", "Version  4.0", {900, 570, 1755, 345});
}

void LayoutsTest::controls()
{
    QFETCH(QString, windowName);
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);

    QWidget *top = window(windowName);
    QVERIFY(top);
    if (control.isEmpty()) {
        QCOMPARE(top->size(), QSize(px(top, twips.width()), px(top, twips.height())));
        return;
    }

    const auto *widget = top->findChild<QWidget *>(control);
    QVERIFY2(widget, qPrintable(control));
    if (!caption.isNull())
        QCOMPARE(widget->property("text").toString(), caption);

    // The main window's controls sit below its tool bar.
    const int topOffset = top == &m_main ? MainWindowLayout::ToolbarHeightTwips : 0;
    const QRect expected(px(top, twips.x()), px(top, twips.y() - topOffset), px(top, twips.width()),
                         px(top, twips.height()));
    QCOMPARE(widget->geometry(), expected);
}

void LayoutsTest::slipTabOrderAndAccessKeys()
{
    m_main.show();
    m_main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_main));

    const auto focusName = [] {
        QWidget *focus = QApplication::focusWidget();
        // The tab strip takes the focus through its tab bar.
        while (focus && (focus->objectName().isEmpty() ||
                         focus->objectName().startsWith(QLatin1String("qt_"))))
            focus = focus->parentWidget();
        return focus ? focus->objectName() : QString();
    };

    m_mainUi.tbMsg[1]->setFocus();
    QCOMPARE(focusName(), QStringLiteral("tbMsg(1)"));
    // Hidden and disabled controls and the action boxes that are no tab stops
    // are passed over; the tab strip follows the last control.
    const QStringList expected = {
        QStringLiteral("tbMsg(2)"),    QStringLiteral("tbMsg(3)"),
        QStringLiteral("tbMsg(4)"),    QStringLiteral("tbMsg(5)"),
        QStringLiteral("tbMsg(6)"),    QStringLiteral("tbMsg(7)"),
        QStringLiteral("chMsg(0)"),    QStringLiteral("chkReturnReceipt"),
        QStringLiteral("tabMessages"), QStringLiteral("lvMsgs"),
        QStringLiteral("tbMsg(1)"),
    };
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusName());
    }
    QCOMPARE(visited, expected);

    // A label's access key puts the focus into the field beside it.
    const QList<std::pair<Qt::Key, QString>> accessKeys = {
        {Qt::Key_O, QStringLiteral("tbMsg(3)")},
        {Qt::Key_N, QStringLiteral("tbMsg(7)")},
        {Qt::Key_C, QStringLiteral("tbMsg(4)")},
        {Qt::Key_D, QStringLiteral("tbMsg(1)")},
    };
    for (const auto &[key, field] : accessKeys) {
        QTest::keyClick(&m_main, key, Qt::AltModifier);
        QCOMPARE(focusName(), field);
    }
    m_main.hide();
}

void LayoutsTest::designState()
{
    const MainWindowLayout &ui = m_mainUi;
    QCOMPARE(m_main.windowTitle(), QStringLiteral("MAPI Telvora"));
    QVERIFY(!m_main.windowIcon().isNull());

    // Hidden at start; the Forward button and the follow-up boxes disabled.
    for (QWidget *hidden :
         {static_cast<QWidget *>(ui.cmdIgnore), static_cast<QWidget *>(ui.lstRecipients),
          static_cast<QWidget *>(ui.dblstMessages), static_cast<QWidget *>(ui.txtPoke)})
        QVERIFY2(!hidden->isVisibleTo(&m_main), qPrintable(hidden->objectName()));
    QVERIFY(!ui.cbForward->isEnabled());
    for (int index = 0; index < 10; ++index) {
        QVERIFY(ui.chMsg[index]->isVisibleTo(&m_main));
        QCOMPARE(ui.chMsg[index]->isEnabled(), index < 6);
        QVERIFY(!ui.chMsg[index]->isChecked());
    }
    QVERIFY(!ui.chkReturnReceipt->isChecked());
    for (int index = 1; index <= 7; ++index)
        QVERIFY(ui.messageFieldText(index).isEmpty());

    QVERIFY(ui.mnuTStatusBar->isCheckable() && ui.mnuTStatusBar->isChecked());
    QCOMPARE(ui.mnuFSend->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(ui.mnuEClear->text(), QStringLiteral("C&lear Telvora"));

    QStringList keys;
    for (int number = 1; number <= 14; ++number)
        keys.append(ui.toolbarMainButtons[number]->isSeparator()
                        ? QStringLiteral("-")
                        : ui.toolbarMainButtons[number]->objectName());
    QCOMPARE(keys.join(u' '),
             QStringLiteral("- Compose Send - Save Print - Delete - GetNew - Dial - Help"));
    QCOMPARE(ui.toolbarButton(QStringLiteral("GetNew"))->toolTip(),
             QStringLiteral("Get New Messages"));
    QCOMPARE(ui.statusPanel(QStringLiteral("Log")), ui.statusPanels[2]);

    QCOMPARE(ui.tabMessages->count(), 3);
    QCOMPARE(ui.tabMessages->tabBar()->tabData(1).toString(), QStringLiteral("ReceiptRequested"));
    QCOMPARE(ui.tabMessages->tabText(2), QStringLiteral("&Message Log"));
    QCOMPARE(ui.tabMessages->tabToolTip(0), QStringLiteral("List of Pending Phone Messages"));
    QCOMPARE(ui.lvMsgs->headerItem()->text(2), QStringLiteral("Date"));

    // Every picture list holds its count of pictures of its size.
    const QList<std::pair<const ImageList *, int>> lists = {
        {&ui.imglstToolbarSmall, 8}, {&ui.imglstArrow, 1},   {&ui.imglstBorders, 2},
        {&ui.imglstSmallPics, 4},    {&ui.imglstBigPics, 4}, {&m_preferencesUi.ImageList1, 2},
    };
    for (const auto &[list, count] : lists) {
        QCOMPARE(list->count(), count);
        for (const QPixmap &picture : list->images)
            QCOMPARE(picture.size(), list->imageSize);
    }

    // The dialogs open on their first page only.
    QVERIFY(m_preferencesUi.picTabFrames[0]->isVisibleTo(&m_preferences));
    QVERIFY(!m_preferencesUi.picTabFrames[1]->isVisibleTo(&m_preferences));
    QVERIFY(!m_preferencesUi.picTabFrames[2]->isVisibleTo(&m_preferences));
    QCOMPARE(m_preferencesUi.picTabFrames[2]->geometry(),
             m_preferencesUi.picTabFrames[0]->geometry());
    QVERIFY(!m_dataOptionsUi.picTabFrames[1]->isVisibleTo(&m_dataOptions));
    QCOMPARE(m_preferencesUi.tabPreferences->tabBar()->tabData(2).toString(),
             QStringLiteral("Logon"));
    QVERIFY(m_preferencesUi.cmdOK->isDefault());
    QVERIFY(m_recipientsUi.cmdDone->isDefault());
    QCOMPARE(m_recipientsUi.lstRecipients->selectionMode(), QAbstractItemView::ExtendedSelection);
}

QTEST_MAIN(LayoutsTest)
#include "tst_layouts.moc"
