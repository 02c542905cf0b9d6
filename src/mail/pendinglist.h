// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtCore/qnamespace.h>

#include <optional>

class QTreeWidget;
class QString;

namespace Telvora::App {
class MainWindow;
class Message;
class Messages;
} // namespace Telvora::App

namespace Telvora::Mail {

/// Item data roles of column 0 of a pending list row: the row's key (the
/// message identifier) and its picture number in the small-picture list.
inline constexpr int RowKeyRole = Qt::UserRole;
inline constexpr int RowPictureRole = Qt::UserRole + 1;

/// Pictures of a pending list row, numbered as in the small-picture list.
enum RowPicture : int
{
    UnreadPicture = 1,
    UnreadUrgentPicture = 2,
    ReadPicture = 3,
    ReadUrgentPicture = 4,
};

/// Refills the main window's pending collection from the mail box and, when
/// forced or when the fetched set differs from the list's rows, the list view.
/// Unless quiet, notifies when the unread count grew.
void FetchPendingMessages(App::MainWindow &main, bool force, QTreeWidget *listView,
                          std::optional<bool> quiet = std::nullopt);

/// Rebuilds the list view's rows from the pending collection, keeping the
/// selected row when it still exists.
void DisplayMessages(App::MainWindow &main, QTreeWidget *listView);

/// Counts the pending messages and the unread ones among them.
void CountMessages(const App::Messages &pending, int &total, int &unread);

/// The pending message with that key; throws App::AppError when there is none.
[[nodiscard]] App::Message &GetPendingMessage(App::MainWindow &main, const QString &key);

/// Shows the pending message selected in the list on the slip.
void ShowSelectedMessage(App::MainWindow &main);

} // namespace Telvora::Mail
