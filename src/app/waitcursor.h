// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QWidget>

namespace Telvora::App {

/// Shows the hourglass over the whole program (the screen pointer) for the
/// guard's lifetime and restores the previous pointer when it ends, on every
/// path out of the scope, exceptions included. Guards nest.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

/// Shows the hourglass over one window (its mouse pointer) for the guard's
/// lifetime; message boxes opened meanwhile keep the normal pointer. The
/// window's own pointer comes back when the guard ends, on every path.
class WindowWaitCursor
{
public:
    explicit WindowWaitCursor(QWidget &window)
        : m_window(&window)
        , m_hadCursor(window.testAttribute(Qt::WA_SetCursor))
        , m_previous(window.cursor())
    {
        window.setCursor(Qt::WaitCursor);
    }
    ~WindowWaitCursor()
    {
        if (!m_window)
            return;
        if (m_hadCursor)
            m_window->setCursor(m_previous);
        else
            m_window->unsetCursor();
    }
    WindowWaitCursor(const WindowWaitCursor &) = delete;
    WindowWaitCursor &operator=(const WindowWaitCursor &) = delete;

private:
    QPointer<QWidget> m_window;
    bool m_hadCursor;
    QCursor m_previous;
};

} // namespace Telvora::App
