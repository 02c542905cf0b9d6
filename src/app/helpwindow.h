// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QTextBrowser;

namespace Telvora::App {

/// The program's help: one modeless window that shows the bundled user guide
/// pages (an index page and one page per window). The static functions create
/// the window on first use and reuse it; closeHelp() closes and destroys it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    /// Help context numbers of the program's windows.
    enum Context
    {
        IndexContext = 0,
        MainWindowContext = 10,
        SlipContext = 11,
        PendingListContext = 12,
        PreferencesContext = 20, ///< the Preferences dialog
        DataOptionsContext = 21,
        RecipientListContext = 22,
        AboutContext = 23,
        LogonContext = 24,
    };

    /// Opens (or raises) the help window at the index page.
    static void showIndex();
    /// Opens (or raises) the help window at the page of a context number; an
    /// unknown number opens the index page.
    static void showContext(int context);
    /// Closes the help window if it is open; does nothing otherwise.
    static void closeHelp();
    /// The open help window, or nullptr.
    [[nodiscard]] static HelpWindow *instance();

    /// The resource address of a context number's page (the index page for an
    /// unknown number).
    [[nodiscard]] static QString pageForContext(int context);

    /// The browser that shows the pages.
    [[nodiscard]] QTextBrowser *browser() const { return m_browser; }

private:
    explicit HelpWindow(QWidget *parent = nullptr);
    void showPage(const QString &page);

    QTextBrowser *m_browser = nullptr;
};

} // namespace Telvora::App
