// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/phonemessage.h"
#include "ui/mainwindowlayout.h"

#include <QMainWindow>
#include <QTimer>

class QAction;
class QKeyEvent;

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
    /// Empties the slip, deselects the pending list and forgets the shown message.
    void ClearMessage();
    /// Empties the slip's fields and boxes only; the follow-up boxes and
    /// Forward are disabled again.
    void ClearMessageText();
    /// Starts a new message: date and time stamped, the default actions
    /// checked, the receipt box set from the settings, the focus in To.
    void ComposeMessage();
    /// Completes the To box from the first pick-list name that begins with
    /// what was typed, selecting the completed part.
    void MatchRecipient();
    /// Saves the shown received message (its follow-up boxes, note and
    /// fields) back to the mail box and re-reads the pending list.
    void pSave();
    /// Asks for a person, sends the shown message on to them and records the
    /// forward on the slip ("FORWARDED TO ...", the Forwarded box, saved).
    void ForwardMessage();
    /// Sends the slip to the people in To and clears it when the mail system
    /// took it; reports an empty To box or a failure in a box.
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
    // The load steps and the window rectangle.
    void RestoreWindowPosition();
    void txtPoke_Change();
    void connectControls();

    // The views, the tool bar, the menus, the status bar.
    void tabMessages_Click(int index);
    void SetViewMode(int mode);
    [[nodiscard]] QString selectedTabKey() const;
    void selectTab(const QString &key);
    void toolbarMain_ButtonClick(QAction *button);
    void getNewMessages();
    void StatusBar1_PanelClick(const QString &key);
    void mnuTStatusBar_Click();
    void layOutLists();

    // The pending list.
    void lvMsgs_ColumnClick(int column);
    void lvMsgs_ItemClick();
    [[nodiscard]] bool openPendingMessage(const QString &id);

    // The slip's events.
    void tbMsg_Change(int index);
    [[nodiscard]] bool tbMsg_KeyDown(int index, QKeyEvent *event);
    [[nodiscard]] bool tbMsg_KeyPress(int index, QKeyEvent *event);
    void chMsg_Click(int index);
    void showRecipientList();
    void lstRecipients_Click();
    void cbForward_Click();
    /// Sends the slip; true when the mail system accepted it.
    [[nodiscard]] bool sendSlip();
    [[nodiscard]] bool handleKeyPreview(QKeyEvent *event);

    Ui::MainWindowLayout m_ui;
    Mail::MailSystem &m_mailSystem;
    std::unique_ptr<Mail::MessageSet> m_phoneMessages;
    std::unique_ptr<Mail::MessageSet> m_receiptMessages;
    std::unique_ptr<Mail::MailboxOperations> m_mailbox;
    std::unique_ptr<Messages> m_pendingMessages;
    std::unique_ptr<HandOffServer> m_handOff;
    QTimer m_timer;
    QString m_messageId;

    bool m_clearingSelection = false; // ClearingSelection
    bool m_inForward = false;         // InForward
    bool m_callerSearchArmed = false; // CallerSearchArmed
    bool m_matching = false;          // MatchRecipient's busy flag
    bool m_inPoke = false;            // InPoke
    bool m_unloaded = false;
    int m_lastListKey = 0;    // LastListKey
    int m_minutesElapsed = 0; // MinutesElapsed
    int m_sortColumn = -1;    // last column clicked, -1 for none
    bool m_sortDescending = false;
    QString m_currentTabKey; // the tab shown before a switch
};

} // namespace Telvora::App
