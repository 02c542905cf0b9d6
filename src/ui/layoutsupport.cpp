// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/layoutsupport.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace Telvora::Ui {

QFont designFont(qreal pointSize, bool bold, bool italic)
{
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void setButtonFace(QWidget *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

namespace Internal {

QLabel *placeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                   Qt::Alignment alignment)
{
    auto *label = placeControl<QLabel>(parent, name, geometry);
    label->setText(text);
    label->setAlignment(alignment);
    return label;
}

QCheckBox *placeCheckBox(QWidget *parent, const QString &name, const QString &caption,
                         const QRect &geometry)
{
    auto *box = placeControl<QCheckBox>(parent, name, geometry);
    box->setText(caption);
    return box;
}

QPushButton *placeButton(QWidget *parent, const QString &name, const QString &caption,
                         const QRect &geometry)
{
    auto *button = placeControl<QPushButton>(parent, name, geometry);
    button->setText(caption);
    setButtonFace(button, LightGrey);
    return button;
}

void setupFixedDialog(QWidget *dialog, const QString &name, const QString &caption, QSize size)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setFixedSize(size);
}

QString elementName(const char *array, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

} // namespace Internal
} // namespace Telvora::Ui
