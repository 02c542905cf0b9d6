// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/artwork.h"

#include <QString>

// The pictures live in a static library, whose resource registration the
// linker would drop unless something refers to it.
static void initTelvoraResources()
{
    Q_INIT_RESOURCE(telvora);
}

namespace Telvora::Ui {
namespace {

ImageList loadImages(QSize size, const QStringList &files, const QStringList &keys = {})
{
    static const bool registered = [] {
        initTelvoraResources();
        return true;
    }();
    Q_UNUSED(registered);

    ImageList list;
    list.imageSize = size;
    list.keys = keys;
    for (const QString &file : files)
        list.images.append(QPixmap(QStringLiteral(":/telvora/") + file));
    return list;
}

} // namespace

QPixmap ImageList::picture(int number) const
{
    return number >= 1 && number <= count() ? images.at(number - 1) : QPixmap();
}

QIcon ImageList::icon(int number) const
{
    const QPixmap pixmap = picture(number);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QPixmap ImageList::picture(const QString &key) const
{
    return picture(int(keys.indexOf(key)) + 1);
}

QIcon programIcon()
{
    const ImageList forms = loadImages(QSize(32, 32), {QStringLiteral("icons/telvora-32.png"),
                                                       QStringLiteral("icons/telvora-16.png")});
    QIcon icon;
    for (const QPixmap &form : forms.images)
        icon.addPixmap(form);
    return icon;
}

ImageList toolbarSmallImages()
{
    return loadImages(QSize(16, 16),
                      {QStringLiteral("toolbar/compose.png"), QStringLiteral("toolbar/send.png"),
                       QStringLiteral("toolbar/save.png"), QStringLiteral("toolbar/print.png"),
                       QStringLiteral("toolbar/delete.png"), QStringLiteral("toolbar/getnew.png"),
                       QStringLiteral("toolbar/help.png"), QStringLiteral("toolbar/dial.png")});
}

ImageList arrowImages()
{
    return loadImages(QSize(10, 15), {QStringLiteral("toolbar/arrow.png")});
}

ImageList borderImages()
{
    return loadImages(QSize(20, 180),
                      {QStringLiteral("borders/normal.png"), QStringLiteral("borders/urgent.png")});
}

ImageList smallMessageImages()
{
    QStringList files;
    for (int number = 1; number <= 4; ++number)
        files.append(QStringLiteral("messages/small-%1.png").arg(number));
    return loadImages(QSize(32, 16), files);
}

ImageList bigMessageImages()
{
    QStringList files;
    for (int number = 1; number <= 4; ++number)
        files.append(QStringLiteral("messages/big-%1.png").arg(number));
    return loadImages(QSize(32, 32), files);
}

ImageList soundFileImages()
{
    return loadImages(QSize(16, 16),
                      {QStringLiteral("toolbar/browse.png"), QStringLiteral("toolbar/play.png")},
                      {QStringLiteral("Browse"), QStringLiteral("Play")});
}

} // namespace Telvora::Ui
