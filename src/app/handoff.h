// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

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
    std::unique_ptr<QLocalServer> m_server;
    qint64 m_handle = 0;
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
