// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QTimer;
class QWidget;

namespace Telvora::App {

/// The receiving end of the single-instance hand-off: a per-user local endpoint
/// of the running copy. Its handle() is the number the main window publishes
/// under the settings key "PokeHWND"; a second copy that finds it there sends
/// its command line to it (PokeMessage) and ends.
class HandOffServer : public QObject
{
    Q_OBJECT
public:
    explicit HandOffServer(QObject *parent = nullptr);
    ~HandOffServer() override;

    /// Opens the endpoint; false (with nothing published) when it cannot.
    [[nodiscard]] bool listen();
    /// A non-zero number naming the endpoint while it listens, else 0.
    [[nodiscard]] qint64 handle() const;

signals:
    /// A second copy handed over a command line.
    void textReceived(const QString &text);

private:
    void readRequest(QLocalSocket *socket);

    std::unique_ptr<QLocalServer> m_server;
    qint64 m_handle = 0;
};

/// This process's entry in the per-user list of running copies: a file in
/// windowListDirectory() naming the process's own control endpoint and its
/// visible top-level windows (handle and title), rewritten whenever a window is
/// shown, hidden or retitled and removed when the registry ends. It is what
/// FindTitledWindow reads in every copy and what ShowAndActivateWindow reaches.
class WindowRegistry : public QObject
{
    Q_OBJECT
public:
    /// Starts the registry of this process (once; later calls return it). It
    /// lives until the application object ends.
    static WindowRegistry &start();
    /// The started registry, or nullptr.
    [[nodiscard]] static WindowRegistry *instance();

    /// The per-user directory of the running copies' window lists:
    /// $XDG_RUNTIME_DIR/telvora/, or, without a runtime directory, a directory
    /// per host in Config::configDirectory().
    [[nodiscard]] static QString windowListDirectory();

    /// The handle of one of this process's top-level windows (given on first
    /// use; unique among the running copies of the user).
    [[nodiscard]] qint64 handleOf(QWidget *window);
    /// This process's top-level window with that handle, or nullptr.
    [[nodiscard]] QWidget *windowOf(qint64 handle) const;
    /// Writes the window list file now.
    void writeNow();

    ~WindowRegistry() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WindowRegistry();

    std::unique_ptr<HandOffServer> m_control;
    QTimer *m_writeTimer = nullptr;
    QString m_filePath;
    quint32 m_nextIndex = 1;
};

/// Hands the command line to the running copy named under "PokeHWND". True when
/// that copy accepted it; false when no copy is published or it is gone.
[[nodiscard]] bool PokeMessage(const QString &cmdLine);

/// The first top-level window of any running copy of the program for this user
/// whose title contains the text (ignoring case), as a handle, or 0.
[[nodiscard]] qint64 FindTitledWindow(const QString &title);

/// Asks the copy that owns the window (found by FindTitledWindow) to show it in
/// normal state and activate it. False when it is gone.
bool ShowAndActivateWindow(qint64 handle);

} // namespace Telvora::App
