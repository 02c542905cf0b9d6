// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QSize>
#include <QString>

class QCheckBox;
class QPushButton;
class QWidget;

namespace Telvora::Ui {

/// Colours the layouts use by name (red, green, blue).
inline const QColor DarkBlue{0, 0, 128};
inline const QColor DarkRed{128, 0, 0};
inline const QColor LightGrey{192, 192, 192};
inline const QColor DarkGrey{128, 128, 128};

/// The desktop's ordinary sans font at the given size and weight. Every font
/// the window designs name (dialog, system or Arial faces) maps to this family.
[[nodiscard]] QFont designFont(qreal pointSize, bool bold, bool italic = false);

/// Gives a widget's text the colour `colour` (labels, check boxes).
void setTextColour(QWidget *widget, const QColor &colour);

/// Gives a button the face colour `colour`.
void setButtonFace(QWidget *button, const QColor &colour);

namespace Internal {

/// Creates a child control of type W with its object name and pixel geometry.
template<typename W> W *placeControl(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *control = new W(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

/// Creates a label; labels are aligned to their top left unless told otherwise.
QLabel *placeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

/// Creates a check box with its caption.
QCheckBox *placeCheckBox(QWidget *parent, const QString &name, const QString &caption,
                         const QRect &geometry);

/// Creates a push button with its caption and the light grey face.
QPushButton *placeButton(QWidget *parent, const QString &name, const QString &caption,
                         const QRect &geometry);

/// Gives a dialog its design name (unless it has one), caption, fixed client
/// size and a fixed border without control box or minimise and maximise buttons.
void setupFixedDialog(QWidget *dialog, const QString &name, const QString &caption, QSize size);

/// The object name of a control array element, as "chMsg(3)".
[[nodiscard]] QString elementName(const char *array, int index);

} // namespace Internal
} // namespace Telvora::Ui
