// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/handoff.h"

#include "settings/inistore.h"
#include "settings/paths.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSysInfo>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace Telvora::App {

namespace {

// A request is one frame: a kind byte, the payload length (4 bytes, big
// endian) and the payload in UTF-8. The endpoint answers with one byte, '1'
// when it accepted the request and '0' when it did not.
constexpr char CommandRequest = 'C';    // a command line for DoMailCommand
constexpr char ShowWindowRequest = 'W'; // show and activate the window with this handle
constexpr int HeaderSize = 5;
constexpr qint32 MaxPayload = 64 * 1024;
constexpr int ConnectTimeoutMs = 2000;
constexpr int AnswerTimeoutMs = 5000;

constexpr char WindowPropertyName[] = "telvoraWindowHandle";

QString serverName(qint64 handle)
{
    return QStringLiteral("telvora-%1-%2").arg(::getuid()).arg(handle);
}

/// The endpoints that listen in this process: a request to one of them is
/// handled without a connection (a blocking wait on our own endpoint would
/// never be answered).
QHash<qint64, HandOffServer *> &localServers()
{
    static QHash<qint64, HandOffServer *> servers;
    return servers;
}

WindowRegistry *g_registry = nullptr;

/// The number in a stored handle text (" 1234"): 0 when it is not a number.
qint64 parseHandle(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok && value > 0 ? value : 0;
}

bool showAndActivate(QWidget *window)
{
    if (!window)
        return false;
    window->showNormal();
    window->raise();
    window->activateWindow();
    return true;
}

/// Sends one request to the endpoint with that handle; true when it answered '1'.
bool sendRequest(qint64 handle, char kind, const QString &payload)
{
    const QByteArray data = payload.toUtf8();
    if (handle <= 0 || data.size() > MaxPayload)
        return false;
    QLocalSocket socket;
    socket.connectToServer(serverName(handle));
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    QByteArray frame(HeaderSize, '\0');
    frame[0] = kind;
    qToBigEndian<qint32>(qint32(data.size()), frame.data() + 1);
    frame += data;
    socket.write(frame);
    if (!socket.waitForBytesWritten(ConnectTimeoutMs))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return false;
    }
    char answer = '0';
    return socket.getChar(&answer) && answer == '1';
}

bool processIsAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

/// One running copy's window list as read from its file.
struct CopyEntry
{
    qint64 pid = 0;
    qint64 endpoint = 0;
    QList<QPair<qint64, QString>> windows;
};

QList<CopyEntry> otherCopies()
{
    QList<CopyEntry> copies;
    const QDir dir(WindowRegistry::windowListDirectory());
    const qint64 ownPid = QCoreApplication::applicationPid();
    const QStringList names = dir.entryList({QStringLiteral("*.windows")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        CopyEntry copy;
        copy.pid = name.section(u'.', 0, 0).toLongLong();
        if (copy.pid == ownPid)
            continue;
        if (!processIsAlive(copy.pid)) {
            // A copy that ended without removing its list (it crashed).
            QFile::remove(dir.filePath(name));
            continue;
        }
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("endpoint "))) {
                copy.endpoint = parseHandle(line.mid(9));
                continue;
            }
            const qsizetype tab = line.indexOf(u'\t');
            if (tab <= 0)
                continue;
            const qint64 handle = parseHandle(line.left(tab));
            if (handle != 0)
                copy.windows.append({handle, line.mid(tab + 1)});
        }
        copies.append(copy);
    }
    return copies;
}

/// The window list line text of a title: one line without tabs.
QString listTitle(QString title)
{
    for (QChar &c : title) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return title;
}

} // namespace

// ---------------------------------------------------------------------------
// HandOffServer

HandOffServer::HandOffServer(QObject *parent)
    : QObject(parent)
{}

HandOffServer::~HandOffServer()
{
    if (m_handle != 0)
        localServers().remove(m_handle);
    if (m_server)
        m_server->close();
}

bool HandOffServer::listen()
{
    if (m_handle != 0)
        return true;
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // A random 31-bit number names this copy's endpoint: a number left behind
    // by a copy that crashed then names nothing that answers.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const qint64 handle = QRandomGenerator::system()->bounded(1, 0x7fffffff);
        const QString name = serverName(handle);
        if (localServers().contains(handle))
            continue;
        // Only a crashed copy with the very same number can have left this
        // name behind; its socket file would keep listen() from working.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(100)) {
            probe.abort();
            continue;
        }
        QLocalServer::removeServer(name);
        if (server->listen(name)) {
            m_handle = handle;
            break;
        }
    }
    if (m_handle == 0)
        return false;
    m_server = std::move(server);
    localServers().insert(m_handle, this);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
            if (socket->bytesAvailable() > 0)
                readRequest(socket);
        }
    });
    return true;
}

qint64 HandOffServer::handle() const
{
    return m_handle;
}

void HandOffServer::readRequest(QLocalSocket *socket)
{
    if (socket->property("answered").toBool())
        return;
    if (socket->bytesAvailable() < HeaderSize)
        return;
    const QByteArray header = socket->peek(HeaderSize);
    const qint32 length = qFromBigEndian<qint32>(header.constData() + 1);
    const char kind = header[0];
    if (length < 0 || length > MaxPayload ||
        (kind != CommandRequest && kind != ShowWindowRequest)) {
        socket->setProperty("answered", true);
        socket->write("0", 1);
        socket->disconnectFromServer();
        return;
    }
    if (socket->bytesAvailable() < HeaderSize + length)
        return;
    socket->skip(HeaderSize);
    const QString payload = QString::fromUtf8(socket->read(length));
    socket->setProperty("answered", true);

    bool accepted = false;
    if (kind == CommandRequest) {
        accepted = true;
    } else {
        WindowRegistry *registry = WindowRegistry::instance();
        accepted = registry && registry->windowOf(parseHandle(payload)) != nullptr;
    }
    socket->write(accepted ? "1" : "0", 1);
    socket->flush();
    if (!accepted)
        return;
    // The sender waits only for the answer: the request is carried out once
    // control is back in the event loop, so that a dialog it opens does not
    // keep the other copy waiting.
    QPointer<HandOffServer> self(this);
    QTimer::singleShot(0, this, [self, kind, payload] {
        if (!self)
            return;
        if (kind == CommandRequest) {
            emit self->textReceived(payload);
        } else if (WindowRegistry *registry = WindowRegistry::instance()) {
            showAndActivate(registry->windowOf(parseHandle(payload)));
        }
    });
}

// ---------------------------------------------------------------------------
// The hand-off and window search

bool PokeMessage(const QString &cmdLine)
{
    const qint64 handle = parseHandle(
        Config::readSetting(Config::PreferencesSection, Config::PokeHWNDKey, QStringLiteral("0")));
    if (handle == 0)
        return false;
    if (HandOffServer *local = localServers().value(handle)) {
        QPointer<HandOffServer> target(local);
        QTimer::singleShot(0, local, [target, cmdLine] {
            if (target)
                emit target->textReceived(cmdLine);
        });
        return true;
    }
    return sendRequest(handle, CommandRequest, cmdLine);
}

qint64 FindTitledWindow(const QString &title)
{
    if (WindowRegistry *registry = WindowRegistry::instance()) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            const QString text = window->windowTitle();
            if (window->isVisible() && !text.isEmpty() && text.contains(title, Qt::CaseInsensitive))
                return registry->handleOf(window);
        }
    }
    const QList<CopyEntry> copies = otherCopies();
    for (const CopyEntry &copy : copies) {
        for (const auto &[handle, text] : copy.windows) {
            if (!text.isEmpty() && text.contains(title, Qt::CaseInsensitive))
                return handle;
        }
    }
    return 0;
}

bool ShowAndActivateWindow(qint64 handle)
{
    if (handle <= 0)
        return false;
    if (WindowRegistry *registry = WindowRegistry::instance()) {
        if (QWidget *window = registry->windowOf(handle))
            return showAndActivate(window);
    }
    const QList<CopyEntry> copies = otherCopies();
    for (const CopyEntry &copy : copies) {
        for (const auto &entry : copy.windows) {
            if (entry.first == handle)
                return sendRequest(copy.endpoint, ShowWindowRequest, QString::number(handle));
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// WindowRegistry

WindowRegistry &WindowRegistry::start()
{
    if (!g_registry) {
        g_registry = new WindowRegistry;
        g_registry->setParent(QCoreApplication::instance());
    }
    return *g_registry;
}

WindowRegistry *WindowRegistry::instance()
{
    return g_registry;
}

QString WindowRegistry::windowListDirectory()
{
    QString path;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        path = runtime + QStringLiteral("/telvora/");
    else
        // Without a runtime directory the configuration directory holds the
        // lists; it may be shared between machines, so each host has its own.
        path = Config::configDirectory() + QStringLiteral("running-") +
               QSysInfo::machineHostName() + u'/';
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(path);
        ::chmod(QFile::encodeName(path).constData(), S_IRWXU);
    }
    return path;
}

WindowRegistry::WindowRegistry()
    : m_control(std::make_unique<HandOffServer>())
    , m_writeTimer(new QTimer(this))
{
    (void)m_control->listen();
    m_filePath = windowListDirectory() +
                 QStringLiteral("%1.windows").arg(QCoreApplication::applicationPid());
    m_writeTimer->setSingleShot(true);
    m_writeTimer->setInterval(0);
    connect(m_writeTimer, &QTimer::timeout, this, &WindowRegistry::writeNow);
    qApp->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        qApp->removeEventFilter(this);
        m_writeTimer->stop();
        QFile::remove(m_filePath);
    });
    writeNow();
}

WindowRegistry::~WindowRegistry()
{
    if (qApp)
        qApp->removeEventFilter(this);
    QFile::remove(m_filePath);
    if (g_registry == this)
        g_registry = nullptr;
}

qint64 WindowRegistry::handleOf(QWidget *window)
{
    const QVariant stored = window->property(WindowPropertyName);
    if (stored.isValid())
        return stored.toLongLong();
    // The process number in the high bits keeps handles of different copies apart.
    const qint64 handle =
        (qint64(QCoreApplication::applicationPid()) << 16) | (m_nextIndex & 0xffff);
    m_nextIndex = m_nextIndex % 0xffff + 1;
    window->setProperty(WindowPropertyName, handle);
    return handle;
}

QWidget *WindowRegistry::windowOf(qint64 handle) const
{
    if (handle <= 0)
        return nullptr;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        const QVariant stored = window->property(WindowPropertyName);
        if (stored.isValid() && stored.toLongLong() == handle)
            return window;
    }
    return nullptr;
}

void WindowRegistry::writeNow()
{
    QByteArray content = "endpoint " + QByteArray::number(m_control->handle()) + '\n';
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible() || window->windowTitle().isEmpty())
            continue;
        content += QByteArray::number(handleOf(window)) + '\t' +
                   listTitle(window->windowTitle()).toUtf8() + '\n';
    }
    QSaveFile file(m_filePath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
        (void)file.commit();
    }
}

bool WindowRegistry::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowTitleChange:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            m_writeTimer->start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Telvora::App
