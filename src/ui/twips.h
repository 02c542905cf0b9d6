// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace Telvora::Ui {

/// Window positions and sizes are designed in twips, 1/1440 of a logical inch.
inline constexpr int TwipsPerInch = 1440;

/// The logical dots per inch of the screen that `widget` is on, or of the
/// primary screen when `widget` is null. Returns 96 when there is no screen.
[[nodiscard]] qreal logicalDpi(const QWidget *widget = nullptr);

/// Converts between twips and pixels at one fixed logical DPI (96 DPI gives
/// 15 twips per pixel). Each value is converted on its own and rounded to the
/// nearest pixel, so a rectangle keeps its proportions at any DPI.
class TwipsScale
{
public:
    /// A scale for the given logical DPI.
    explicit TwipsScale(qreal dpi);
    /// A scale for the screen that `widget` is on (the primary screen when null).
    explicit TwipsScale(const QWidget *widget);

    [[nodiscard]] qreal dpi() const { return m_dpi; }
    /// Pixels for a length or coordinate in twips.
    [[nodiscard]] int px(int twips) const;
    /// Twips for a length or coordinate in pixels.
    [[nodiscard]] int twips(int pixels) const;
    /// A pixel rectangle from left, top, width and height in twips.
    [[nodiscard]] QRect rect(int left, int top, int width, int height) const;
    /// A pixel size from width and height in twips.
    [[nodiscard]] QSize size(int width, int height) const;

private:
    qreal m_dpi;
};

} // namespace Telvora::Ui
