// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about.h"

#include "ui/twips.h"
#include "ui/versioninfo.h"

#include <QLabel>
#include <QPushButton>

namespace Telvora::App {

AboutBox::AboutBox(QWidget *mainWindow)
    : QDialog(mainWindow)
{
    m_ui.setupUi(this);
    const Ui::VersionInfo &version = Ui::programVersion();
    setWindowTitle(QStringLiteral("MAPI Telvora"));
    if (mainWindow) {
        // Always the same offset from the main window's top-left corner.
        const Ui::TwipsScale scale(mainWindow);
        const QPoint corner = mainWindow->window()->frameGeometry().topLeft();
        move(corner + QPoint(scale.px(1200), scale.px(1200)));
    }
    m_ui.Label1[0]->setText(QStringLiteral("MAPI Telvora"));
    m_ui.Label1[1]->setText(Ui::aboutVersionText(version));
    m_ui.lblCopyright->setText(version.legalCopyright);
    m_ui.Command1->setDefault(true);
    m_ui.Command1->setAutoDefault(true);
    // QDialog closes on Esc by itself; the button is the default for Enter.
    connect(m_ui.Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void showAboutBox(QWidget *parent)
{
    AboutBox box(parent);
    box.exec();
}

} // namespace Telvora::App
