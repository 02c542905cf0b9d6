// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash.h"

#include "ui/versioninfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace Telvora::App {

SplashWindow::SplashWindow(QWidget *parent)
    : QFrame(parent)
{
    m_ui.setupUi(this);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 3);
    }
    const Ui::VersionInfo &version = Ui::programVersion();
    m_ui.lblCopyright->setText(version.legalCopyright);
    m_ui.lblProductName->setText(version.productName);
    m_ui.lblVersion->setText(Ui::splashVersionText(version));
}

} // namespace Telvora::App
