// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/aboutsplashlayouts.h"

#include "ui/artwork.h"
#include "ui/layoutsupport.h"
#include "ui/twips.h"
#include "ui/versioninfo.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace Telvora::Ui {

using Internal::elementName;
using Internal::placeButton;
using Internal::placeControl;
using Internal::placeLabel;

namespace {

QLabel *placeIcon(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *picture = placeControl<QLabel>(parent, name, geometry);
    picture->setPixmap(programIcon().pixmap(32, 32));
    picture->setAlignment(Qt::AlignCenter);
    return picture;
}

} // namespace

void SplashWindowLayout::setupUi(QFrame *window)
{
    const TwipsScale s(window);
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("frmSplash"));
    window->setWindowTitle(QString());
    window->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    window->setFrameStyle(QFrame::Panel | QFrame::Raised);
    window->setLineWidth(2);
    window->setFixedSize(s.size(3900, 1965));
    window->setFont(designFont(8.25, true));
    const VersionInfo &version = programVersion();

    Image1 = placeIcon(window, QStringLiteral("Image1"), s.rect(240, 300, 480, 480));
    lblProductName = placeLabel(window, QStringLiteral("lblProductName"), version.productName,
                                s.rect(900, 210, 2805, 435));
    lblProductName->setFont(designFont(13.5, true));
    setTextColour(lblProductName, DarkBlue);
    lblVersion = placeLabel(window, QStringLiteral("lblVersion"), splashVersionText(version),
                            s.rect(900, 570, 1755, 345));
    lblVersion->setFont(designFont(9.75, true));
    setTextColour(lblVersion, DarkBlue);
    Label1 = placeLabel(window, QStringLiteral("Label1"), QStringLiteral("Telvora Project"),
                        s.rect(30, 960, 3825, 525), Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(designFont(18, true, true));
    setTextColour(Label1, DarkRed);
    lblCopyright = placeLabel(window, QStringLiteral("lblCopyright"), version.legalCopyright,
                              s.rect(450, 1650, 3045, 225));
    lblCopyright->setFont(designFont(9.75, true));
}

void AboutBoxLayout::setupUi(QDialog *dialog)
{
    const TwipsScale s(dialog);
    Internal::setupFixedDialog(dialog, QStringLiteral("frmAbout"), QStringLiteral("MAPI Telvora"),
                               s.size(4905, 2265));
    dialog->setFont(designFont(8.25, true));
    const VersionInfo &version = programVersion();

    Command1 = placeButton(dialog, QStringLiteral("Command1"), QStringLiteral("OK"),
                           s.rect(3840, 330, 915, 615));
    Command1->setDefault(true);
    Label1[2] = placeLabel(dialog, elementName("Label1", 2),
                           QStringLiteral("For help with Telvora, ask your office's mail "
                                          "administrator or the Telvora Project."),
                           s.rect(120, 1380, 4725, 510), Qt::AlignHCenter | Qt::AlignTop);
    Label1[2]->setWordWrap(true);
    lblCopyright = placeLabel(dialog, QStringLiteral("lblCopyright"), version.legalCopyright,
                              s.rect(0, 1950, 4905, 270), Qt::AlignHCenter | Qt::AlignTop);
    Label1[0] = placeLabel(dialog, elementName("Label1", 0), QStringLiteral("MAPI Telvora"),
                           s.rect(885, 480, 3210, 360));
    Label1[0]->setFont(designFont(12, true));
    setTextColour(Label1[0], DarkBlue);
    Picture2 = placeIcon(dialog, QStringLiteral("Picture2"), s.rect(270, 480, 480, 480));
    Label2 = placeLabel(dialog, QStringLiteral("Label2"), QStringLiteral("The Telvora Project's"),
                        s.rect(30, 120, 4155, 360), Qt::AlignHCenter | Qt::AlignTop);
    Label2->setFont(designFont(14.25, false, true));
    setTextColour(Label2, DarkRed);
    Label1[1] = placeLabel(dialog, elementName("Label1", 1), aboutVersionText(version),
                           s.rect(900, 810, 1875, 465));
    setTextColour(Label1[1], DarkBlue);
}

} // namespace Telvora::Ui
