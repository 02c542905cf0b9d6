// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowplacement.h"

#include "ui/twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QWidget>

namespace Telvora::App {

void CenterForm(QWidget &window)
{
    if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const Ui::TwipsScale scale(&window);
    const QRect area = screen->geometry();
    const QSize frame = window.frameGeometry().size();
    const int left = (scale.twips(area.width()) - scale.twips(frame.width())) / 2;
    const int top = (scale.twips(area.height()) - scale.twips(frame.height())) / 3;
    window.move(area.left() + scale.px(left), area.top() + scale.px(top));
}

void PlaceNearMain(QWidget &dialog, const QWidget &mainWindow)
{
    const Ui::TwipsScale scale(&mainWindow);
    const QPoint origin = mainWindow.pos();
    dialog.move(scale.px(scale.twips(origin.x()) + 500), scale.px(scale.twips(origin.y()) + 600));
}

void CutActiveText(const QWidget &window)
{
    QWidget *focus = window.focusWidget();
    if (auto *line = qobject_cast<QLineEdit *>(focus)) {
        QGuiApplication::clipboard()->setText(line->selectedText());
        if (line->hasSelectedText() && !line->isReadOnly())
            line->del();
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(focus)) {
        QTextCursor cursor = plain->textCursor();
        QGuiApplication::clipboard()->setText(cursor.selection().toPlainText());
        if (!plain->isReadOnly()) {
            cursor.removeSelectedText();
            plain->setTextCursor(cursor);
        }
    } else if (auto *rich = qobject_cast<QTextEdit *>(focus)) {
        QTextCursor cursor = rich->textCursor();
        QGuiApplication::clipboard()->setText(cursor.selection().toPlainText());
        if (!rich->isReadOnly()) {
            cursor.removeSelectedText();
            rich->setTextCursor(cursor);
        }
    }
}

} // namespace Telvora::App
