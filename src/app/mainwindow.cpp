// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include "app/about.h"
#include "app/apperror.h"
#include "app/dataoptionsdialog.h"
#include "app/globals.h"
#include "app/handoff.h"
#include "app/helpwindow.h"
#include "app/prompt.h"
#include "app/slip.h"
#include "app/startup.h"
#include "app/textutil.h"
#include "app/waitcursor.h"
#include "app/windowplacement.h"
#include "data/callersearch.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/mailsession.h"
#include "mail/messageset.h"
#include "mail/pendinglist.h"
#include "mail/receipts.h"
#include "settings/inistore.h"
#include "settings/settings.h"
#include "ui/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

namespace Telvora::App {

namespace {

const QString PendingTab = QStringLiteral("Pending");
const QString ReceiptTab = QStringLiteral("ReceiptRequested");
const QString LogTab = QStringLiteral("MessageLog");

/// The mail system's "user cancelled" error as the send routine knows it.
constexpr long MapiUserCancel = -2147221229;

/// Minutes between two ticks of Timer1.
constexpr int TimerIntervalMs = 60000;

/// The resize rules measure the window as a whole: its client area plus the
/// frame of a window with a caption, a menu bar and sizing borders at the
/// design's 15 twips per pixel (two 4-pixel borders across; an 18-pixel
/// caption, a 19-pixel menu bar and two borders down). The client area is
/// the central widget plus the tool bar and the status bar above and below it.
constexpr int FrameWidthTwips = 120;
constexpr int FrameHeightTwips = 675;

/// Runs an event handler; a failure that reaches it is shown, not passed on
/// into the event loop.
template<typename Handler> void runHandler(Handler &&handler)
{
    try {
        handler();
    } catch (const AppError &error) {
        showMessage(error.description(), PromptButtons::Ok, PromptIcon::Exclamation);
    } catch (const std::exception &error) {
        showMessage(QString::fromLocal8Bit(error.what()), PromptButtons::Ok,
                    PromptIcon::Exclamation);
    }
}

bool isNormalState(const QWidget &window)
{
    return !(window.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

/// The system's short date of today.
QString shortDateText(const QDate &date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

/// "h:mm AM/PM": hour without a leading zero, two-digit minutes, AM or PM.
QString amPmTimeText(const QTime &time)
{
    return QLocale::c().toString(time, QStringLiteral("h:mm AP"));
}

/// The system's long time form (with seconds), without a time zone.
QString longTimeText(const QTime &time)
{
    const QLocale locale;
    QStringList parts = locale.timeFormat(QLocale::LongFormat).split(u' ');
    parts.removeIf(
        [](const QString &part) { return !part.isEmpty() && part.count(u't') == part.size(); });
    return locale.toString(time, parts.join(u' '));
}

/// Keys that move the selection of the pick list: they do not pick a name.
bool movesListSelection(int key)
{
    return (key >= Qt::Key_Left && key <= Qt::Key_PageDown) || key == Qt::Key_Home ||
           key == Qt::Key_End || (key >= Qt::Key_A && key <= Qt::Key_Z) ||
           (key >= Qt::Key_F1 && key <= Qt::Key_F11);
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

/// The view keys of the window: Alt+P, Alt+I, Alt+M.
bool isViewKey(const QKeyEvent *event)
{
    if (!(event->modifiers() & Qt::AltModifier))
        return false;
    const int key = event->key();
    return key == Qt::Key_P || key == Qt::Key_I || key == Qt::Key_M;
}

} // namespace

// --- load and unload --------------------------------------------------------

MainWindow::MainWindow(Mail::MailSystem &mailSystem, QWidget *parent)
    : QMainWindow(parent)
    , m_mailSystem(mailSystem)
    , m_phoneMessages(std::make_unique<Mail::MessageSet>(mailSystem))
    , m_receiptMessages(std::make_unique<Mail::MessageSet>(mailSystem))
    , m_mailbox(std::make_unique<Mail::MailboxOperations>(*m_phoneMessages))
    , m_pendingMessages(std::make_unique<Messages>(*m_mailbox))
{
    m_ui.setupUi(this);
    m_phoneMessages->setFetchMsgType(Mail::PhoneMessageClass);
    m_receiptMessages->setFetchMsgType(Mail::ReceiptMessageClass);
    m_currentTabKey = selectedTabKey();

    // Publish the hand-off endpoint: a second copy hands its command line over
    // by setting txtPoke's text.
    m_handOff = std::make_unique<HandOffServer>();
    if (m_handOff->listen())
        Config::writeSetting(Config::PreferencesSection, Config::PokeHWNDKey,
                             Config::numberText(long(m_handOff->handle())));
    connect(m_handOff.get(), &HandOffServer::textReceived, m_ui.txtPoke, &QLineEdit::setText);

    // The data list lies exactly over the pending list and waits hidden.
    m_ui.dblstMessages->setGeometry(m_ui.lvMsgs->geometry());
    m_ui.dblstMessages->hide();

    if (!Config::settings().StatusBar()) {
        m_ui.StatusBar1->hide();
        m_ui.mnuTStatusBar->setChecked(false);
    }

    // Unchecked boxes start in normal type, as they return to it.
    for (int index = 0; index < Mail::ActionCount; ++index)
        Slip(m_ui).showActionStyle(index);

    connectControls();
    RestoreWindowPosition();

    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { runHandler([this] { Timer1_Timer(); }); });
    m_timer.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectControls()
{
    // Menus. Printing, dialling, the recipient list, data options and the
    // preferences dialog are not available in this build: their items and
    // buttons stay greyed.
    const auto onTrigger = [this](QAction *action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] { runHandler(handler); });
    };
    onTrigger(m_ui.mnuFCompose, [this] { ComposeMessage(); });
    onTrigger(m_ui.mnuFSend, [this] { SendCurrentMessage(); });
    onTrigger(m_ui.mnuFSaveMessage, [this] { pSave(); });
    onTrigger(m_ui.mnuFGetMessages, [this] { getNewMessages(); });
    onTrigger(m_ui.mnuFExit, [] { ShutDown(); });
    onTrigger(m_ui.mnuECut, [this] {
        if (auto *line = qobject_cast<QLineEdit *>(focusWidget()))
            line->cut();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(focusWidget()))
            plain->cut();
    });
    onTrigger(m_ui.mnuECopy, [this] {
        if (auto *line = qobject_cast<QLineEdit *>(focusWidget()))
            line->copy();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(focusWidget()))
            plain->copy();
    });
    onTrigger(m_ui.mnuEPaste, [this] {
        if (auto *line = qobject_cast<QLineEdit *>(focusWidget()))
            line->paste();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(focusWidget()))
            plain->paste();
    });
    onTrigger(m_ui.mnuEDelete, [this] { CutActiveText(*this); });
    onTrigger(m_ui.mnuEClear, [this] { ClearMessage(); });
    onTrigger(m_ui.mnuEDeleteMessage, [this] { Mail::DeleteSelectedMessage(*this); });
    onTrigger(m_ui.mnuTStatusBar, [this] { mnuTStatusBar_Click(); });
    onTrigger(m_ui.mnuTDataOptions, [this] {
        {
            DataOptionsDialog dialog(*this);
            dialog.exec();
        }
        UpdateStatusBar();
    });
    onTrigger(m_ui.mnuHContents, [] { HelpWindow::showIndex(); });
    onTrigger(m_ui.mnuhAbout, [this] { showAboutBox(this); });
    for (QAction *later :
         {m_ui.mnuFPrintMessage, m_ui.mnufPrintPending, m_ui.mnuTPhoneDialer,
          m_ui.mnuTRecipientList, m_ui.mnuTPreferences, m_ui.toolbarButton(QStringLiteral("Print")),
          m_ui.toolbarButton(QStringLiteral("Dial"))})
        later->setEnabled(false);

    connect(m_ui.toolbarMain, &QToolBar::actionTriggered, this,
            [this](QAction *button) { runHandler([&] { toolbarMain_ButtonClick(button); }); });

    // The tab strip and the lists.
    connect(m_ui.tabMessages, &QTabWidget::currentChanged, this,
            [this](int index) { runHandler([&] { tabMessages_Click(index); }); });
    m_ui.lvMsgs->header()->setSectionsClickable(true);
    m_ui.lvMsgs->header()->setSortIndicatorShown(true);
    connect(m_ui.lvMsgs->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { runHandler([&] { lvMsgs_ColumnClick(column); }); });
    connect(m_ui.lvMsgs, &QTreeWidget::itemClicked, this,
            [this] { runHandler([this] { lvMsgs_ItemClick(); }); });
    connect(m_ui.dblstMessages, &QListView::clicked, this,
            [this] { runHandler([this] { Data::ShowLoggedMessage(*this); }); });
    connect(m_ui.cmdIgnore, &QPushButton::clicked, this,
            [this] { runHandler([this] { Data::IgnoreMessage(*this); }); });

    // The slip.
    for (int index = 4; index <= 6; ++index) {
        connect(m_ui.tbMsg[index], &QLineEdit::textChanged, this,
                [this, index] { runHandler([&] { tbMsg_Change(index); }); });
    }
    // Completion follows what the user types; text set by the program (a
    // shown message, a picked name) stays as it is.
    connect(m_ui.tbMsg[3], &QLineEdit::textEdited, this,
            [this] { runHandler([this] { tbMsg_Change(3); }); });
    for (int index = 0; index < Mail::ActionCount; ++index) {
        connect(m_ui.chMsg[index], &QCheckBox::toggled, this,
                [this, index] { runHandler([&] { chMsg_Click(index); }); });
    }
    connect(m_ui.Toolbar1Button, &QAction::triggered, this,
            [this] { runHandler([this] { showRecipientList(); }); });
    connect(m_ui.lstRecipients, &QListWidget::itemClicked, this, [this] {
        // A mouse click is never a keyboard move through the list.
        m_lastListKey = 0;
        runHandler([this] { lstRecipients_Click(); });
    });
    connect(m_ui.cbForward, &QPushButton::clicked, this,
            [this] { runHandler([this] { cbForward_Click(); }); });
    connect(m_ui.txtPoke, &QLineEdit::textChanged, this,
            [this] { runHandler([this] { txtPoke_Change(); }); });

    // Key preview of the whole window, the slip's keys, the panels' clicks.
    installEventFilter(this);
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

void MainWindow::RestoreWindowPosition()
{
    if (!isNormalState(*this))
        return;
    const QString startup =
        Config::readSetting(Config::PreferencesSection, Config::StartupKey, QString());
    if (startup.isEmpty()) {
        CenterForm(*this);
        return;
    }
    int values[4] = {};
    for (int token = 1; token <= 4; ++token) {
        bool ok = false;
        values[token - 1] =
            GetToken(startup, token, QStringLiteral(","), 1, QString()).trimmed().toShort(&ok);
        // A rectangle that is not four numbers is no place to go back to.
        if (!ok) {
            CenterForm(*this);
            return;
        }
    }
    const Ui::TwipsScale scale(this);
    const QScreen *screen = this->screen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize();
    int width = values[2];
    int height = values[3];
    if (width == 0)
        width = scale.twips(screenSize.width());
    if (height == 0)
        height = scale.twips(screenSize.height());
    resize(scale.px(width), scale.px(height));
    move(scale.px(values[0]), scale.px(values[1]));
}

void MainWindow::txtPoke_Change()
{
    if (m_inPoke)
        return;
    const QString command = m_ui.txtPoke->text();
    {
        const QScopedValueRollback inPoke(m_inPoke, true);
        m_ui.txtPoke->clear();
    }
    DoMailCommand(command);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        runHandler([this] {
            if (isNormalState(*this)) {
                const Ui::TwipsScale scale(this);
                const QStringList rectangle = {
                    Config::numberText(scale.twips(x())),
                    Config::numberText(scale.twips(y())),
                    Config::numberText(scale.twips(width())),
                    Config::numberText(scale.twips(height())),
                };
                Config::writeSetting(Config::PreferencesSection, Config::StartupKey,
                                     rectangle.join(u','));
            }
        });
        runHandler([] {
            Config::writeSetting(Config::PreferencesSection, Config::PokeHWNDKey,
                                 QStringLiteral("0"));
        });
        HelpWindow::closeHelp();
        m_timer.stop();
        ShutDown();
        emit unloaded();
    }
    QMainWindow::closeEvent(event);
}

// --- views, tool bar, menus, status bar ----------------------------------------

QString MainWindow::selectedTabKey() const
{
    const int index = m_ui.tabMessages->currentIndex();
    return index < 0 ? QString() : m_ui.tabMessages->tabBar()->tabData(index).toString();
}

void MainWindow::selectTab(const QString &key)
{
    QTabBar *tabs = m_ui.tabMessages->tabBar();
    for (int index = 0; index < tabs->count(); ++index) {
        if (tabs->tabData(index).toString() == key) {
            m_ui.tabMessages->setCurrentIndex(index);
            return;
        }
    }
}

void MainWindow::tabMessages_Click(int index)
{
    const QString previous = m_currentTabKey;
    const QString key =
        index < 0 ? QString() : m_ui.tabMessages->tabBar()->tabData(index).toString();
    m_currentTabKey = key;
    if (previous == ReceiptTab || previous == LogTab)
        Data::UnbindLogList(*this);

    ClearMessage();
    if (key == PendingTab) {
        m_ui.lvMsgs->show();
        m_ui.dblstMessages->hide();
        SetViewMode(1);
    } else if (key == ReceiptTab || key == LogTab) {
        m_ui.dblstMessages->show();
        m_ui.lvMsgs->hide();
        QCoreApplication::processEvents();
        {
            const WaitCursor hourglass;
            if (key == ReceiptTab)
                Data::ShowReceiptList(*this);
            else
                Data::ShowMessageLog(*this);
            m_ui.dblstMessages->setFocus();
        }
        SetViewMode(key == ReceiptTab ? 3 : 4);
    }
}

void MainWindow::SetViewMode(int mode)
{
    QAction *save = m_ui.toolbarButton(QStringLiteral("Save"));
    if (mode == 1)
        save->setEnabled(true);
    else if (mode >= 2 && mode <= 4)
        save->setEnabled(false);
}

bool MainWindow::handleKeyPreview(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_P:
        selectTab(PendingTab);
        m_ui.lvMsgs->setFocus();
        return true;
    case Qt::Key_I:
        selectTab(ReceiptTab);
        m_ui.dblstMessages->setFocus();
        return true;
    case Qt::Key_M:
        selectTab(LogTab);
        m_ui.dblstMessages->setFocus();
        return true;
    default:
        return false;
    }
}

void MainWindow::toolbarMain_ButtonClick(QAction *button)
{
    const QString key = button->data().toString();
    if (key == QLatin1String("Compose"))
        ComposeMessage();
    else if (key == QLatin1String("Send"))
        SendCurrentMessage();
    else if (key == QLatin1String("Save"))
        pSave();
    else if (key == QLatin1String("Delete"))
        Mail::DeleteSelectedMessage(*this);
    else if (key == QLatin1String("GetNew"))
        getNewMessages();
    else if (key == QLatin1String("Help"))
        HelpWindow::showIndex();
}

void MainWindow::getNewMessages()
{
    Mail::ForceMailDelivery(m_mailSystem);
    Mail::FetchPendingMessages(*this, true, m_ui.lvMsgs);
    Mail::CheckReturnReceipts(*this);
}

void MainWindow::Timer1_Timer()
{
    const int fetchMinutes = globals().FetchMinutes;
    if (fetchMinutes == 0)
        return;
    if (m_minutesElapsed == 0)
        m_minutesElapsed = 1;
    ++m_minutesElapsed;
    if (m_minutesElapsed > fetchMinutes) {
        Mail::FetchPendingMessages(*this, false, m_ui.lvMsgs);
        Mail::CheckReturnReceipts(*this);
        m_minutesElapsed = 1;
    }
}

void MainWindow::RefreshMsgCount()
{
    int total = 0;
    int unread = 0;
    Mail::CountMessages(PendingMessages(), total, unread);
    m_ui.statusPanel(QStringLiteral("Pending"))
        ->setText(QStringLiteral("%1 Pending Messages, %2 Unread").arg(total).arg(unread));
}

void MainWindow::UpdateStatusBar()
{
    const Config::Settings &settings = Config::settings();
    QLabel *log = m_ui.statusPanel(QStringLiteral("Log"));
    const bool logOn = settings.MessageLogEnabled();
    log->setText(logOn ? QStringLiteral("Message Log - ON") : QStringLiteral("Message Log - OFF"));
    log->setEnabled(logOn);
    QLabel *caller = m_ui.statusPanel(QStringLiteral("Caller"));
    const bool callerOn = settings.CallerEnabled();
    caller->setText(callerOn ? QStringLiteral("Caller Search - ON")
                             : QStringLiteral("Caller Search - OFF"));
    caller->setEnabled(callerOn);
}

void MainWindow::StatusBar1_PanelClick(const QString &key)
{
    Config::Settings &settings = Config::settings();
    if (key == QLatin1String("Caller")) {
        if (settings.CallerEnabled()) {
            Data::databases().CloseCallerDatabase();
            settings.setCallerEnabled(false);
        } else {
            Data::databases().OpenCallerDatabase();
            if (globals().CallerOpen)
                settings.setCallerEnabled(true);
        }
    } else if (key == QLatin1String("Log")) {
        settings.setMessageLogEnabled(!settings.MessageLogEnabled());
    }
    UpdateStatusBar();
}

void MainWindow::mnuTStatusBar_Click()
{
    const bool show = m_ui.StatusBar1->isHidden();
    Config::settings().setStatusBar(show);
    m_ui.StatusBar1->setVisible(show);
    m_ui.mnuTStatusBar->setChecked(show);
    if (layout())
        layout()->activate();
    layOutLists();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOutLists();
}

void MainWindow::layOutLists()
{
    using Layout = Ui::MainWindowLayout;
    const Ui::TwipsScale scale(this);
    const bool statusBar = m_ui.StatusBar1->isVisibleTo(this);
    const int windowWidth = scale.twips(m_ui.form->width()) + FrameWidthTwips;
    const int clientHeight = scale.twips(m_ui.form->height()) + Layout::ToolbarHeightTwips +
                             (statusBar ? Layout::StatusBarHeightTwips : 0);
    const int windowHeight = clientHeight + FrameHeightTwips;

    const QPoint tabPosition = m_ui.tabMessages->pos();
    const QPoint listPosition = m_ui.lvMsgs->pos();
    const int tabTop = scale.twips(tabPosition.y()) + Layout::ToolbarHeightTwips;
    const int listTop = scale.twips(listPosition.y()) + Layout::ToolbarHeightTwips;

    int listWidth = 0;
    int tabWidth = 0;
    int listHeight = 0;
    int tabHeight = 0;
    if (windowWidth > 1500) {
        listWidth = windowWidth - 450;
        tabWidth = windowWidth - 240;
        QPlainTextEdit *note = m_ui.tbMsgNote;
        note->resize(scale.px(windowWidth - scale.twips(note->x()) - 240), note->height());
    }
    if (windowHeight > tabTop + 1500) {
        if (statusBar) {
            tabHeight = windowHeight - tabTop - 1050;
            listHeight = windowHeight - listTop - 1150;
        } else {
            tabHeight = windowHeight - tabTop - 750;
            listHeight = windowHeight - listTop - 825;
        }
    }
    m_ui.tabMessages->setGeometry(tabPosition.x(), tabPosition.y(), scale.px(tabWidth),
                                  scale.px(tabHeight));
    const QRect list(listPosition.x(), listPosition.y(), scale.px(listWidth), scale.px(listHeight));
    m_ui.lvMsgs->setGeometry(list);
    m_ui.dblstMessages->setGeometry(list);
}

// --- the pending list ---------------------------------------------------------

void MainWindow::lvMsgs_ColumnClick(int column)
{
    if (column == m_sortColumn)
        m_sortDescending = !m_sortDescending;
    else
        m_sortColumn = column;
    const Qt::SortOrder order = m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_ui.lvMsgs->header()->setSortIndicator(column, order);
    m_ui.lvMsgs->sortItems(column, order);
}

void MainWindow::lvMsgs_ItemClick()
{
    if (m_clearingSelection)
        return;
    if (m_ui.lvMsgs->topLevelItemCount() >= 1)
        Mail::ShowSelectedMessage(*this);
}

QString MainWindow::GetSelectedMsgKey() const
{
    const QTreeWidget *list = m_ui.lvMsgs;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        if (item->isSelected())
            return item->data(0, Mail::RowKeyRole).toString();
    }
    return QString();
}

bool MainWindow::openPendingMessage(const QString &id)
{
    QTreeWidget *list = m_ui.lvMsgs;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = list->topLevelItem(row);
        if (item->data(0, Mail::RowKeyRole).toString() != id)
            continue;
        list->setCurrentItem(item);
        item->setSelected(true);
        list->scrollToItem(item);
        lvMsgs_ItemClick();
        showNormal();
        raise();
        activateWindow();
        return true;
    }
    return false;
}

long MainWindow::DoMailCommand(const QString &command)
{
    if (selectedTabKey() != PendingTab)
        selectTab(PendingTab);
    const QChar first = command.isEmpty() ? QChar() : command.at(0);
    const int operation = first >= u'0' && first <= u'9' ? first.digitValue() : 0;
    const QString id = command.mid(1);

    if (operation == 1) {
        if (openPendingMessage(id))
            return 0;
        // A message just delivered may not be listed yet: read the list again
        // without announcing anything, and try once more.
        Mail::FetchPendingMessages(*this, false, m_ui.lvMsgs, true);
        if (!openPendingMessage(id))
            showMessage(QStringLiteral("Unable to Open Message in Pending Messages List"),
                        PromptButtons::Ok, PromptIcon::Exclamation,
                        QStringLiteral("DoMailCommand Error"));
    } else if (operation == 0) {
        ComposeMessage();
    }
    return 0;
}

// --- the slip -------------------------------------------------------------------

void MainWindow::ClearMessage()
{
    ClearMessageText();
    m_ui.cmdIgnore->hide();
    m_ui.lblReceiptStatus->show();
    {
        const QScopedValueRollback clearing(m_clearingSelection, true);
        m_ui.lvMsgs->clearSelection();
    }
    m_messageId.clear();
}

void MainWindow::ClearMessageText()
{
    m_callerSearchArmed = false;
    for (int index = 1; index <= 7; ++index)
        m_ui.setMessageFieldText(index, QString());
    {
        const QScopedValueRollback settingChecks(globals().SettingChecks, true);
        for (QCheckBox *box : m_ui.chMsg)
            box->setChecked(false);
        for (int index = 6; index < Mail::ActionCount; ++index)
            m_ui.chMsg[index]->setEnabled(false);
    }
    m_ui.laBy->clear();
    m_ui.cbForward->setEnabled(false);
    m_ui.chkReturnReceipt->setChecked(false);
    m_ui.lblReceiptStatus->clear();
    const Slip slip(m_ui);
    slip.setReceiptState(QStringLiteral("0"));
    slip.setLogId(QString());
}

void MainWindow::ComposeMessage()
{
    ClearMessage();
    for (const QChar digit : std::as_const(globals().DefaultActions)) {
        if (digit >= u'0' && digit <= u'5')
            m_ui.chMsg[digit.digitValue()]->setChecked(true);
    }

    const Config::Settings &settings = Config::settings();
    const QDateTime now = QDateTime::currentDateTime();
    m_ui.tbMsg[1]->setText(shortDateText(now.date()));
    m_ui.tbMsg[2]->setText(settings.UseInternational() ? longTimeText(now.time())
                                                       : amPmTimeText(now.time()));

    if (settings.CallerEnabled()) {
        if (!globals().CallerOpen) {
            const WaitCursor hourglass;
            Data::databases().OpenCallerDatabase();
        }
        m_callerSearchArmed = true;
    }

    if (settings.MessageLogEnabled()) {
        m_ui.chkReturnReceipt->setChecked(settings.ReturnReceipt());
        m_ui.chkReturnReceipt->setEnabled(true);
    } else {
        // Receipts are matched through the message log.
        m_ui.chkReturnReceipt->setChecked(false);
        m_ui.chkReturnReceipt->setEnabled(false);
    }

    if (!(windowState() & Qt::WindowMinimized))
        m_ui.tbMsg[3]->setFocus();
}

void MainWindow::tbMsg_Change(int index)
{
    switch (index) {
    case 3:
        MatchRecipient();
        break;
    case 4:
        if (m_ui.tbMsg[4]->text().size() > 2 && m_callerSearchArmed &&
            Config::settings().CallerEnabled())
            Data::CallerTypeAhead(*this);
        break;
    case 5:
    case 6:
        globals().CallerChanged = true;
        break;
    default:
        break;
    }
}

bool MainWindow::tbMsg_KeyDown(int index, QKeyEvent *event)
{
    if (index == 3 && event->key() == Qt::Key_Down && !(event->modifiers() & Qt::AltModifier)) {
        m_ui.lstRecipients->show();
        m_ui.lstRecipients->raise();
        m_ui.lstRecipients->setFocus();
        return true;
    }
    if (index < 7 && isEnterKey(event->key())) {
        m_ui.messageField(index + 1)->setFocus();
        return true;
    }
    return false;
}

bool MainWindow::tbMsg_KeyPress(int index, QKeyEvent *event)
{
    if (event->key() != Qt::Key_Backspace || (index != 3 && index != 4))
        return false;
    QLineEdit *box = m_ui.tbMsg[index];
    if (!box->hasSelectedText())
        return false;
    const int start = box->selectionStart();

    if (index == 3) {
        // The selection is the completed part: take it and the last typed
        // character away, then complete again.
        if (start <= 0)
            return false;
        box->setText(box->text().left(start - 1));
        MatchRecipient();
        return true;
    }

    if (start <= 2)
        return false;
    box->setText(box->text().left(start - 1));
    if (start == 3 && globals().CallerAutoFilled) {
        m_ui.tbMsg[5]->clear();
        m_ui.tbMsg[6]->clear();
    }
    if (box->text().size() < 3)
        box->setCursorPosition(int(box->text().size()));
    return true;
}

void MainWindow::chMsg_Click(int index)
{
    Slip(m_ui).showActionStyle(index);
    if (index >= 6 && !globals().SettingChecks) {
        // A follow-up tick is stored in the mail box at once.
        QCoreApplication::processEvents();
        pSave();
    }
}

void MainWindow::showRecipientList()
{
    m_ui.lstRecipients->show();
    m_ui.lstRecipients->raise();
    m_ui.lstRecipients->setFocus();
    m_lastListKey = 0;
}

void MainWindow::lstRecipients_Click()
{
    QListWidget *list = m_ui.lstRecipients;
    if (!list->isVisible())
        return;
    if (movesListSelection(m_lastListKey)) {
        m_lastListKey = 0;
        return;
    }
    // Without a selected name the To box keeps what it holds.
    if (const QListWidgetItem *item = list->currentItem(); item && item->isSelected())
        m_ui.tbMsg[3]->setText(item->text());
    m_ui.tbMsg[3]->setFocus();
}

void MainWindow::MatchRecipient()
{
    if (m_inForward || m_matching)
        return;
    QLineEdit *to = m_ui.tbMsg[3];
    const QString typed = to->text().trimmed();
    if (typed.isEmpty())
        return;
    const QScopedValueRollback matching(m_matching, true);
    QListWidget *list = m_ui.lstRecipients;
    for (int row = 0; row < list->count(); ++row) {
        const QString name = list->item(row)->text();
        if (!name.startsWith(typed, Qt::CaseInsensitive))
            continue;
        list->setCurrentRow(row);
        to->setText(name);
        to->setSelection(int(typed.size()), int(name.size() - typed.size()));
        return;
    }
}

void MainWindow::SendCurrentMessage()
{
    (void)sendSlip();
}

bool MainWindow::sendSlip()
{
    const WindowWaitCursor hourglass(*this);
    QString step;
    try {
        step = QStringLiteral(" Checking For Recipient.   ");
        if (m_ui.tbMsg[3]->text().trimmed().isEmpty()) {
            showMessage(
                QStringLiteral("You must enter the name of the person to send this message to."));
            m_ui.tbMsg[3]->setFocus();
            return false;
        }

        step = QStringLiteral(" Checking Time And Date Stamp.  ");
        const QDateTime now = QDateTime::currentDateTime();
        if (m_ui.tbMsg[1]->text().trimmed().isEmpty())
            m_ui.tbMsg[1]->setText(shortDateText(now.date()));
        if (m_ui.tbMsg[2]->text().trimmed().isEmpty())
            m_ui.tbMsg[2]->setText(amPmTimeText(now.time()));

        step = QStringLiteral(" Getting Text of Message.  ");
        const Slip slip(m_ui);
        const QString subject = slip.subject();
        long logNumber = 0;
        if (Config::settings().MessageLogEnabled())
            logNumber = Data::LogMessage(*this, Data::LogOccasion::Sending);
        const QString noteText =
            slip.noteText(QString::number(logNumber),
                          Mail::ReceiptFlags(slip.receiptRequested(), QStringLiteral("0")));
        if (!globals().IsForwarding && globals().CallerChanged && globals().CallerOpen)
            Data::SaveCaller(*this);

        const bool sent =
            Mail::SendPhoneMessage(phoneMessages(), m_ui.tbMsg[3]->text(), subject, noteText);
        if (sent && !globals().IsForwarding)
            ClearMessage();
        return sent;
    } catch (const AppError &error) {
        if (error.number() != MapiUserCancel && error.number() != ErrorNumber::MailUserCancel) {
            showMessage(QStringLiteral("Error Sending Message.   Error Occurred While") + step +
                        QString::number(error.number()));
        }
        return false;
    }
}

void MainWindow::pSave()
{
    if (m_messageId.isEmpty()) {
        showMessage(QStringLiteral("Select a Message to Save"), PromptButtons::Ok,
                    PromptIcon::Exclamation, AppTitle);
        return;
    }
    const Slip slip(m_ui);
    const QString noteText = slip.noteText(
        slip.logId(), Mail::ReceiptFlags(slip.receiptRequested(), slip.receiptState()));
    (void)Mail::SaveMessage(PendingMessages(), m_messageId, slip.subject(), noteText);
    Mail::FetchPendingMessages(*this, true, m_ui.lvMsgs);
}

void MainWindow::cbForward_Click()
{
    const QScopedValueRollback inForward(m_inForward, true);
    ForwardMessage();
}

void MainWindow::ForwardMessage()
{
    bool &forwarding = globals().IsForwarding;
    QScopedValueRollback forwardingGuard(forwarding, true);
    const std::optional<QString> answer =
        prompt().inputBox(QStringLiteral("Type Name of Person to Receive Message"),
                          QStringLiteral("Forward Message"), QString());
    if (!answer || answer->trimmed().isEmpty())
        return;

    const QString formerTo = m_ui.tbMsg[3]->text();
    const QString formerNote = m_ui.tbMsgNote->toPlainText();
    m_ui.tbMsg[3]->setText(*answer);
    m_ui.tbMsgNote->setPlainText(QStringLiteral("FORWARDED FROM ") + formerTo.toUpper() +
                                 QStringLiteral(".  ") + formerNote);
    const bool sent = sendSlip();
    forwarding = false;

    m_ui.tbMsg[3]->setText(formerTo);
    if (!sent) {
        // Nothing went out: the slip shows the message as it was, not forwarded.
        m_ui.tbMsgNote->setPlainText(formerNote);
        return;
    }
    m_ui.tbMsgNote->setPlainText(QStringLiteral("FORWARDED TO ") + answer->toUpper() +
                                 QStringLiteral(".  ") + formerNote);
    QCheckBox *forwarded = m_ui.chMsg[9];
    if (forwarded->isEnabled()) {
        // Checking the box saves the message; a box already checked does not
        // change, so the new note is saved directly.
        if (forwarded->isChecked())
            pSave();
        else
            forwarded->setChecked(true);
    }
}

// --- events -----------------------------------------------------------------------

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The window sees its view keys before any control or menu access key.
        if (isViewKey(static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isViewKey(key)) {
            runHandler([&] { (void)handleKeyPreview(key); });
            return true;
        }
        for (int index = 1; index <= 6; ++index) {
            if (watched != m_ui.tbMsg[index])
                continue;
            bool handled = false;
            runHandler([&] { handled = tbMsg_KeyDown(index, key) || tbMsg_KeyPress(index, key); });
            return handled;
        }
        if (watched == m_ui.lstRecipients) {
            m_lastListKey = key->key();
            if (key->key() == Qt::Key_Escape) {
                m_ui.lstRecipients->hide();
                m_ui.tbMsg[3]->setFocus();
                return true;
            }
            if (isEnterKey(key->key()) || key->key() == Qt::Key_Space) {
                runHandler([this] { lstRecipients_Click(); });
                return true;
            }
        }
        break;
    }
    case QEvent::KeyRelease:
        // Moving through the pending list by keyboard shows the message moved to.
        if (watched == m_ui.lvMsgs && !static_cast<QKeyEvent *>(event)->isAutoRepeat() &&
            movesListSelection(static_cast<QKeyEvent *>(event)->key())) {
            const QString key = GetSelectedMsgKey();
            if (!key.isEmpty() && key != m_messageId)
                runHandler([this] { lvMsgs_ItemClick(); });
        }
        break;
    case QEvent::FocusOut:
        if (watched == m_ui.lstRecipients)
            m_ui.lstRecipients->hide();
        break;
    case QEvent::MouseButtonRelease:
        for (QLabel *panel : m_ui.statusPanels) {
            if (panel && watched == panel &&
                static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                const QString key = panel->objectName();
                runHandler([&] { StatusBar1_PanelClick(key); });
                return true;
            }
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_ui.StatusBar1 ||
            std::find(std::begin(m_ui.statusPanels), std::end(m_ui.statusPanels), watched) !=
                std::end(m_ui.statusPanels)) {
            runHandler([this] { RefreshMsgCount(); });
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace Telvora::App
