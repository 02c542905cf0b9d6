// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/helpwindow.h"

#include "ui/artwork.h"

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace Telvora::App {

namespace {

QPointer<HelpWindow> g_helpWindow;

const QString PageRoot = QStringLiteral("qrc:/telvora/help/");

} // namespace

QString HelpWindow::pageForContext(int context)
{
    QString page;
    switch (context) {
    case MainWindowContext:
        page = QStringLiteral("mainwindow.html");
        break;
    case SlipContext:
        page = QStringLiteral("slip.html");
        break;
    case PendingListContext:
        page = QStringLiteral("pending.html");
        break;
    case PreferencesContext:
        page = QStringLiteral("preferences.html");
        break;
    case DataOptionsContext:
        page = QStringLiteral("dataoptions.html");
        break;
    case RecipientListContext:
        page = QStringLiteral("recipients.html");
        break;
    case AboutContext:
        page = QStringLiteral("about.html");
        break;
    case LogonContext:
        page = QStringLiteral("logon.html");
        break;
    default:
        page = QStringLiteral("index.html");
        break;
    }
    return PageRoot + page;
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    initHelpResources();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Telvora Help"));
    setWindowIcon(Ui::programIcon());
    setAttribute(Qt::WA_DeleteOnClose);

    auto *contents = new QPushButton(tr("&Contents"), this);
    auto *back = new QPushButton(tr("&Back"), this);
    auto *forward = new QPushButton(tr("&Forward"), this);
    auto *close = new QPushButton(tr("Close"), this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    QFile style(QStringLiteral(":/telvora/help/style.css"));
    if (style.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(style.readAll()));
    back->setEnabled(false);
    forward->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(contents, &QPushButton::clicked, this,
            [this] { showPage(pageForContext(IndexContext)); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    resize(560, 520);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width() - 40, area.top() + 60);
    }
}

void HelpWindow::showPage(const QString &page)
{
    m_browser->setSource(QUrl(page));
}

HelpWindow *HelpWindow::instance()
{
    return g_helpWindow.data();
}

void HelpWindow::showContext(int context)
{
    if (!g_helpWindow)
        g_helpWindow = new HelpWindow;
    g_helpWindow->showPage(pageForContext(context));
    g_helpWindow->showNormal();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
}

void HelpWindow::showIndex()
{
    showContext(IndexContext);
}

void HelpWindow::closeHelp()
{
    if (HelpWindow *window = g_helpWindow.data()) {
        window->close();
        delete window;
    }
}

} // namespace Telvora::App
