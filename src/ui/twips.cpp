// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace Telvora::Ui {

qreal logicalDpi(const QWidget *widget)
{
    const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

TwipsScale::TwipsScale(qreal dpi)
    : m_dpi(dpi > 0 ? dpi : 96.0)
{}

TwipsScale::TwipsScale(const QWidget *widget)
    : TwipsScale(logicalDpi(widget))
{}

int TwipsScale::px(int twips) const
{
    return qRound(twips * m_dpi / TwipsPerInch);
}

int TwipsScale::twips(int pixels) const
{
    return qRound(pixels * TwipsPerInch / m_dpi);
}

QRect TwipsScale::rect(int left, int top, int width, int height) const
{
    return {px(left), px(top), px(width), px(height)};
}

QSize TwipsScale::size(int width, int height) const
{
    return {px(width), px(height)};
}

} // namespace Telvora::Ui
