// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/aboutsplashlayouts.h"

#include <QFrame>

namespace Telvora::App {

/// The splash window `frmSplash`, shown without a title bar while the program
/// starts: the product name, "Version  major.minor" and the legal notice from
/// the version information, centred horizontally and one third down the screen.
class SplashWindow : public QFrame
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    [[nodiscard]] Ui::SplashWindowLayout &ui() { return m_ui; }

private:
    Ui::SplashWindowLayout m_ui;
};

} // namespace Telvora::App
