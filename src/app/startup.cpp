// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/apperror.h"
#include "app/globals.h"
#include "app/handoff.h"
#include "app/logondialog.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "app/splash.h"
#include "app/waitcursor.h"
#include "data/databases.h"
#include "mail/mailsession.h"
#include "mail/pendinglist.h"
#include "mail/postoffice.h"
#include "settings/inistore.h"
#include "ui/artwork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace Telvora::App {

namespace {

/// The caption the notifier window carries; a running notifier is found by it.
const QString NotifierCaption = QStringLiteral("Telvora Notifier");

/// What the program holds from start to end. Destroyed explicitly at the end of
/// Main, before the application object: windows first, then the mail system.
struct Program
{
    std::unique_ptr<Mail::PostOfficeMailSystem> mail;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<SplashWindow> splash;
    /// ShutDown has run (or the program ended some other way): no event loop
    /// is to be entered any more.
    bool ended = false;

    void release()
    {
        splash.reset();
        main.reset();
        mail.reset();
    }
};

Program &program()
{
    static Program instance;
    return instance;
}

/// Ends the program: leaves the event loop, or keeps Main from entering it.
void endProgram()
{
    program().ended = true;
    QCoreApplication::quit();
}

Mail::PostOfficeMailSystem &mailSystem()
{
    Program &p = program();
    if (!p.mail) {
        p.mail = Mail::createDefaultMailSystem();
        p.mail->setLogonHandler([](const std::optional<Mail::MailProfile> &current) {
            return runLogonDialog(current, program().main.get());
        });
    }
    return *p.mail;
}

void showSplash()
{
    Program &p = program();
    p.splash = std::make_unique<SplashWindow>();
    p.splash->show();
}

// A termination request (the session ends, kill, Ctrl+C in a terminal) ends the
// program as File > Exit does. The handler only writes to a pipe; the event
// loop reads it and runs ShutDown.
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void installTerminationHandler(QObject *parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[0], &byte, 1);
        ShutDown();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

void removeTerminationHandler()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    for (int &fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

/// The operation digit of a command line: its first character when that is a
/// digit, else 0.
int operationOf(const QString &command)
{
    const QChar first = command.isEmpty() ? QChar() : command.front();
    return first >= u'0' && first <= u'9' ? first.unicode() - u'0' : 0;
}

bool anyWindowVisible()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget *window) { return window->isVisible(); });
}

} // namespace

void StartNormally()
{
    if (PokeMessage(QStringLiteral("0"))) {
        // The running copy composes a new message.
        endProgram();
        return;
    }
    showSplash();
    InitApplication();
}

void InitApplication()
{
    Program &p = program();
    QCoreApplication::processEvents();
    InitGlobals();
    if (!globals().AppDir.endsWith(u'/'))
        globals().AppDir += u'/';
    // The message class is registered with the mail client here.

    Mail::PostOfficeMailSystem &mail = mailSystem();
    p.main = std::make_unique<MainWindow>(mail);
    p.main->show();
    const WindowWaitCursor hourglass(*p.main);
    // The recipient pick list is loaded into lstRecipients here.

    p.splash.reset();
    QCoreApplication::processEvents();

    if (!Mail::MailLogon(mail)) {
        ShutDown();
        return;
    }
    Ui::MainWindowLayout &ui = p.main->ui();
    ui.Toolbar1->update();
    ui.toolbarMain->update();
    Data::databases().EnsureDatabases();
    Mail::FetchPendingMessages(*p.main, true, ui.lvMsgs, true);
    p.main->UpdateStatusBar();
    ui.lvMsgs->setFocus();
}

void ShutDown()
{
    static bool running = false;
    if (running)
        return;
    running = true;
    Program &p = program();
    {
        const WaitCursor hourglass;
        if (p.mail)
            (void)Mail::MailLogoff(*p.mail);
        // Every window, the main window last; its unload stores the window
        // rectangle and clears the hand-off handle (its call of ShutDown
        // returns at once).
        QList<QPointer<QWidget>> windows;
        if (p.main)
            windows.append(p.main.get());
        const QWidgetList topLevel = QApplication::topLevelWidgets();
        for (QWidget *window : topLevel) {
            if (window != p.main.get())
                windows.append(window);
        }
        for (qsizetype i = windows.size() - 1; i >= 0; --i) {
            if (QWidget *window = windows[i])
                window->close();
        }
        // The caller and log files stay open while the program runs; they are
        // closed here, before the application object goes.
        Data::databases().reset();
    }
    endProgram();
}

int Main(int argc, char *argv[])
{
    QElapsedTimer started;
    started.start();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(Ui::programIcon());
    installTerminationHandler(&app);
    (void)WindowRegistry::start();

    Program &p = program();
    int exitCode = 0;
    QString step;
    try {
        step = QStringLiteral("Trim Command Line");
        const QString command = QApplication::arguments().mid(1).join(u' ').trimmed();
        if (command.isEmpty()) {
            StartNormally();
        } else {
            step = QStringLiteral("Parse Command Line ") + command;
            const int operation = operationOf(command);

            step = QStringLiteral("Poke Message");
            if (PokeMessage(command)) {
                endProgram();
            } else if (operation == 7) {
                step = QStringLiteral("Search for Notifier ");
                const qint64 notifier = FindTitledWindow(NotifierCaption);
                if (notifier != 0) {
                    step = QStringLiteral("Show Notifier Window");
                    (void)ShowAndActivateWindow(notifier);
                    endProgram();
                } else {
                    step = QStringLiteral("Get Registry Setting");
                    const QString popup = Config::readSetting(
                        Config::PreferencesSection, Config::PopupKey, QStringLiteral("True"));
                    if (popup == QLatin1String("True")) {
                        step = QStringLiteral("Show Notifier");
                        // The notifier window frmStubNotifier is shown here,
                        // modeless; the program runs while it is open.
                    }
                    // With no window shown the program ends here.
                    if (!anyWindowVisible())
                        endProgram();
                }
            } else {
                step = QStringLiteral("Load Telvora");
                showSplash();
                InitApplication();
                if (!p.ended && p.main)
                    (void)p.main->DoMailCommand(command);
            }
        }

        if (!p.ended && p.main && qEnvironmentVariableIntValue("TELVORA_EXIT_WHEN_SHOWN") == 1) {
            // Start-up measurement: the time until the main window is up and
            // painted with the pending list filled.
            QCoreApplication::processEvents();
            std::printf("shown %.1f\n", double(started.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            ShutDown();
        }
        if (!p.ended)
            exitCode = QApplication::exec();
    } catch (const std::exception &failure) {
        const auto *error = dynamic_cast<const AppError *>(&failure);
        const QString description =
            error ? error->description() : QString::fromLocal8Bit(failure.what());
        showMessage(QStringLiteral("Error Executing Command to ") + step +
                        QStringLiteral("\r\n\r\n") + description,
                    PromptButtons::Ok, PromptIcon::Exclamation, AppTitle);
        ShutDown();
        exitCode = 1;
    }
    p.release();
    removeTerminationHandler();
    return exitCode;
}

} // namespace Telvora::App
