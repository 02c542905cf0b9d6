// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QStringList>

namespace Telvora::Ui {

/// A numbered set of pictures of one size, shared by the controls that show
/// them. Pictures are numbered from 1, as the controller refers to them; a
/// picture may also carry a key.
struct ImageList
{
    QSize imageSize;
    QList<QPixmap> images;
    QStringList keys;

    [[nodiscard]] int count() const { return int(images.size()); }
    /// Picture number `number` (1 = first); a null pixmap when out of range.
    [[nodiscard]] QPixmap picture(int number) const;
    /// Picture number `number` as an icon; a null icon when out of range.
    [[nodiscard]] QIcon icon(int number) const;
    /// The picture whose key is `key`; a null pixmap when there is none.
    [[nodiscard]] QPixmap picture(const QString &key) const;
};

/// The program's icon, in its 32 by 32 and 16 by 16 pixel forms.
[[nodiscard]] QIcon programIcon();

/// Tool bar pictures of the main window, 16 by 16: compose, send, save,
/// print, delete, get new messages, help, dial.
[[nodiscard]] ImageList toolbarSmallImages();
/// The down arrow of the recipient drop-down, 10 by 15.
[[nodiscard]] ImageList arrowImages();
/// The strip along the slip's left edge, 20 by 180: 1 normal, 2 urgent.
[[nodiscard]] ImageList borderImages();
/// Pending message pictures, 32 by 16: 1 unread, 2 unread urgent, 3 read,
/// 4 read urgent.
[[nodiscard]] ImageList smallMessageImages();
/// The same four pending message pictures at 32 by 32.
[[nodiscard]] ImageList bigMessageImages();
/// The sound file buttons of the preferences, 16 by 16, keyed "Browse" and "Play".
[[nodiscard]] ImageList soundFileImages();

} // namespace Telvora::Ui
