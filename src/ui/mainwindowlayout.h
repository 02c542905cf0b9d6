// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/artwork.h"

#include <QRect>
#include <QString>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QWidget;

namespace Telvora::Ui {

class TwipsScale;

/// The design of the main window `frmMain`: the slip (the phone message form),
/// the message lists under their tab strip, the menus, the main tool bar and
/// the status bar. Every control is a child of the window and carries its
/// design name as object name, control array elements as "tbMsg(3)".
///
/// The tool bar and the status bar sit in the main window's own areas; the
/// other controls live on `form`, the central widget, whose origin is the
/// bottom of the tool bar. Their designed tops (in twips from the top of the
/// window's client area) therefore have `ToolbarHeightTwips` taken off before
/// they are converted: see `formRect()`.
///
/// Not built here, because they are not part of the window's look: the minute
/// timer `Timer1` (60000 ms, enabled), the data control `dataLog` behind
/// `dblstMessages` (its model is set by the controller), the mail components
/// and the window's key preview (an event filter of the controller).
class MainWindowLayout
{
public:
    /// Design size of the window's client area, in twips.
    static constexpr int DesignLeftTwips = 2475;
    static constexpr int DesignTopTwips = 1890;
    static constexpr int DesignWidthTwips = 7365;
    static constexpr int DesignHeightTwips = 6345;
    /// Design height of the tool bar and of the status bar, in twips.
    static constexpr int ToolbarHeightTwips = 405;
    static constexpr int StatusBarHeightTwips = 330;

    /// Builds the design on `window`: caption, icon, design size and position,
    /// menus, tool bar, status bar and every control in its design state.
    void setupUi(QMainWindow *window);

    /// Converts a designed rectangle (twips, client area of the window) into
    /// pixels on `form` with the given scale.
    [[nodiscard]] static QRect formRect(const TwipsScale &scale, int left, int top, int width,
                                        int height);

    /// The tool bar button with key `key` ("Compose", "Send", ...); null when none.
    [[nodiscard]] QAction *toolbarButton(const QString &key) const;
    /// The status bar panel with key `key` ("Pending", "Log", "Caller"); null when none.
    [[nodiscard]] QLabel *statusPanel(const QString &key) const;
    /// The widget of slip field `index` (1 to 7); null when out of range.
    [[nodiscard]] QWidget *messageField(int index) const;
    /// The text of slip field `index` (1 to 7); empty when out of range.
    [[nodiscard]] QString messageFieldText(int index) const;
    /// Replaces the text of slip field `index` (1 to 7); nothing when out of range.
    void setMessageFieldText(int index, const QString &text) const;

    QWidget *form = nullptr;

    // The slip. tbMsg(1) to tbMsg(6) are single-line boxes (element 0 and 7
    // unused); the note tbMsg(7) is the multi-line tbMsgNote.
    QLineEdit *tbMsg[7] = {};
    QPlainTextEdit *tbMsgNote = nullptr;
    /// Captions of the fields: elements 0 and 2 to 6 (element 1 unused).
    QLabel *laMsg[7] = {};
    /// Actions 0 to 5 of a new message; follow-up boxes 6 to 9.
    QCheckBox *chMsg[10] = {};
    QLabel *Label2 = nullptr; // "Follow-Up"
    QPushButton *cbForward = nullptr;
    QLabel *Label3 = nullptr; // "Taken By"
    QLabel *laBy = nullptr;
    QCheckBox *chkReturnReceipt = nullptr;
    QLabel *lblReceiptStatus = nullptr;
    QPushButton *cmdIgnore = nullptr;
    QLabel *imgBorder = nullptr;

    // The recipient drop-down beside the To field.
    QToolBar *Toolbar1 = nullptr;
    QAction *Toolbar1Button = nullptr;
    QListWidget *lstRecipients = nullptr;

    // The message lists. The tab strip's keys are its tab data.
    QTabWidget *tabMessages = nullptr;
    QTreeWidget *lvMsgs = nullptr;
    QListView *dblstMessages = nullptr;

    /// Buttons numbered as designed, 1 to 14, separators included (element 0
    /// unused). Each button's key is its object name.
    QToolBar *toolbarMain = nullptr;
    QAction *toolbarMainButtons[15] = {};

    /// Panels 1 to 3 (element 0 unused); each panel's key is its object name.
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanels[4] = {};

    QMenu *mnuFile = nullptr;
    QAction *mnuFCompose = nullptr;
    QAction *mnuFSend = nullptr;
    QAction *mnuFSaveMessage = nullptr;
    QAction *mfsep2 = nullptr;
    QAction *mnuFGetMessages = nullptr;
    QAction *mnuFSep1 = nullptr;
    QAction *mnuFPrintMessage = nullptr;
    QAction *mnufPrintPending = nullptr;
    QAction *mnuFSep2 = nullptr;
    QAction *mnuFExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuECut = nullptr;
    QAction *mnuECopy = nullptr;
    QAction *mnuEPaste = nullptr;
    QAction *mnuEDelete = nullptr;
    QAction *mnuESep1 = nullptr;
    QAction *mnuEClear = nullptr;
    QAction *mnuEDeleteMessage = nullptr;
    QMenu *mnuTools = nullptr;
    QAction *mnuTPhoneDialer = nullptr;
    QAction *mnuTRecipientList = nullptr;
    QAction *mnuTDataOptions = nullptr;
    QAction *mnuTPreferences = nullptr;
    QAction *mnuTStatusBar = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHContents = nullptr;
    QAction *mnuhAbout = nullptr;

    /// Hidden box through which a second copy of the program hands over its
    /// command line.
    QLineEdit *txtPoke = nullptr;

    ImageList imglstToolbarSmall;
    ImageList imglstArrow;
    ImageList imglstBorders;
    ImageList imglstSmallPics;
    ImageList imglstBigPics;

private:
    void setupMenus(QMainWindow *window);
    void setupToolbar(QMainWindow *window);
    void setupStatusBar(QMainWindow *window, const TwipsScale &scale);
    void setupSlip(const TwipsScale &scale);
    void setupLists(const TwipsScale &scale);
    void setupTabOrder();
};

} // namespace Telvora::Ui
