// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/phonemessage.h"
#include "ui/mainwindowlayout.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

namespace Telvora::Mail {
class MailSystem;
class MessageSet;
class MailboxOperations;
} // namespace Telvora::Mail

namespace Telvora::App {

class HandOffServer;

/// The program's working window `frmMain`: the slip above, the message lists
/// below, menus, tool bar, status bar and the minute timer. It owns the mail
/// components (the phone message set, the receipt set, the mailbox operations
/// and the pending collection) that the mail code works through.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// Builds the window on a signed-on (or about to sign on) mail system. The
    /// load steps run here: publish the hand-off endpoint under "PokeHWND",
    /// hide the data list over the pending list, apply the status bar setting,
    /// restore the window rectangle "Startup".
    explicit MainWindow(Mail::MailSystem &mailSystem, QWidget *parent = nullptr);
    ~MainWindow() override;

    // --- what the mail and start-up code works on -----------------------
    [[nodiscard]] Ui::MainWindowLayout &ui() { return m_ui; }
    [[nodiscard]] Mail::MailSystem &mailSystem() { return m_mailSystem; }
    /// The phone message set (fetches "IPM.KVXTelvora.PhoneMsg").
    [[nodiscard]] Mail::MessageSet &phoneMessages() { return *m_phoneMessages; }
    /// The receipt set (fetches "IPC.KVX.TelvoraReceipt").
    [[nodiscard]] Mail::MessageSet &receiptMessages() { return *m_receiptMessages; }
    [[nodiscard]] Mail::MailboxOperations &mailbox() { return *m_mailbox; }
    /// The pending phone messages, refilled by every fetch.
    [[nodiscard]] Messages &PendingMessages() { return *m_pendingMessages; }

    // --- the controller's public operations ------------------------------
    /// Carries out a command line: "0" compose, "1"+id open that pending
    /// message, any other digit only brings the pending list forward. Returns 0.
    long DoMailCommand(const QString &command);
    /// Key of the selected pending message, or "".
    [[nodiscard]] QString GetSelectedMsgKey() const;
    /// "N Pending Messages, M Unread" in the status bar.
    void RefreshMsgCount();
    /// The "Log" and "Caller" panels from the settings.
    void UpdateStatusBar();
    void ConfigureGrid() {}

    // --- the slip ---------------------------------------------------------
    void ClearMessage();
    void ClearMessageText();
    void ComposeMessage();
    void MatchRecipient();
    void pSave();
    void ForwardMessage();
    void SendCurrentMessage();

    /// Mail identifier of the received message on the slip; "" while composing.
    [[nodiscard]] const QString &MessageID() const { return m_messageId; }
    void setMessageID(const QString &id) { m_messageId = id; }

    /// One tick of the minute timer `Timer1` (public so the counting can be
    /// driven without waiting).
    void Timer1_Timer();

signals:
    /// The window was closed and its unload steps ran.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::MainWindowLayout m_ui;
    Mail::MailSystem &m_mailSystem;
    std::unique_ptr<Mail::MessageSet> m_phoneMessages;
    std::unique_ptr<Mail::MessageSet> m_receiptMessages;
    std::unique_ptr<Mail::MailboxOperations> m_mailbox;
    std::unique_ptr<Messages> m_pendingMessages;
    std::unique_ptr<HandOffServer> m_handOff;
    QTimer m_timer;
    QString m_messageId;
    // Further state (the flags ClearingSelection, InForward, CallerSearchArmed,
    // LastListKey, the sort column, MinutesElapsed) is added by the controller.
};

} // namespace Telvora::App
