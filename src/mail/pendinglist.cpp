// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/pendinglist.h"

#include "app/apperror.h"
#include "app/globals.h"
#include "app/mainwindow.h"
#include "app/phonemessage.h"
#include "app/prompt.h"
#include "data/messagelog.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/receipts.h"
#include "tools/notification.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTime>
#include <QTreeWidget>

namespace Telvora::Mail {

namespace {

const QString CrLf = QStringLiteral("\r\n");

/// Sets a program-wide flag for the lifetime of the guard.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};

/// A message's "h:mmA"/"h:mmP" received time as the list shows it, 24-hour
/// "HH:mm". A text that is no such time is shown as it is.
QString shortTime(const QString &timeReceived)
{
    if (timeReceived.size() < 2)
        return timeReceived;
    const QChar half = timeReceived.back().toUpper();
    if (half != u'A' && half != u'P')
        return timeReceived;
    const QTime time = QTime::fromString(timeReceived.chopped(1), QStringLiteral("h:mm"));
    if (!time.isValid() || time.hour() < 1 || time.hour() > 12)
        return timeReceived;
    const int hour = time.hour() % 12 + (half == u'P' ? 12 : 0);
    return QTime(hour, time.minute()).toString(QStringLiteral("HH:mm"));
}

QString rowKey(const QTreeWidgetItem *item)
{
    return item->data(0, RowKeyRole).toString();
}

/// The first selected row from the top, as the selected key is found.
QTreeWidgetItem *firstSelectedRow(const QTreeWidget *listView)
{
    for (int row = 0; row < listView->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = listView->topLevelItem(row);
        if (item->isSelected())
            return item;
    }
    return nullptr;
}

void setRowPicture(App::MainWindow &main, QTreeWidgetItem *item, int picture)
{
    item->setData(0, RowPictureRole, picture);
    item->setIcon(0, main.ui().imglstSmallPics.icon(picture));
}

/// Whether the list's rows show another set of messages than the collection.
bool rowsDiffer(const App::Messages &pending, const QTreeWidget *listView)
{
    if (pending.Count() != listView->topLevelItemCount())
        return true;
    QSet<QString> keys;
    keys.reserve(listView->topLevelItemCount());
    for (int row = 0; row < listView->topLevelItemCount(); ++row)
        keys.insert(rowKey(listView->topLevelItem(row)));
    for (const auto &message : pending) {
        if (!keys.contains(message->ID()))
            return true;
    }
    return false;
}

} // namespace

void FetchPendingMessages(App::MainWindow &main, bool force, QTreeWidget *listView,
                          std::optional<bool> quiet)
{
    App::Messages &pending = main.PendingMessages();
    int total = 0;
    int unreadBefore = 0;
    CountMessages(pending, total, unreadBefore);

    pending.Clear();
    int unread = 0;
    bool fetched = false;
    try {
        MessageSet &messages = main.phoneMessages();
        messages.setFetchMsgType(PhoneMessageClass);
        messages.Fetch();
        for (int index = 0; index < messages.MsgCount(); ++index) {
            messages.setMsgIndex(index);
            const bool read = messages.MsgRead();
            if (!read)
                ++unread;
            pending.Add(messages.MsgID(), messages.MsgSubject(), messages.MsgDateReceived(), read,
                        messages.MsgOrigDisplayName(), messages.MsgOrigAddress());
        }
        fetched = true;
    } catch (const App::AppError &error) {
        // The timer fetches again while this box is open; one box is enough.
        static bool reporting = false;
        if (!reporting) {
            FlagGuard guard(reporting);
            App::showMessage(QStringLiteral("Error Fetching Pending Messages") + CrLf + CrLf +
                                 error.description(),
                             App::PromptButtons::Ok, App::PromptIcon::Exclamation, App::AppTitle);
        }
    }

    // The list keeps its rows, selection and scroll position while it already
    // shows the fetched messages; read states changed elsewhere wait for a
    // forced refill.
    if (force || rowsDiffer(pending, listView)) {
        FlagGuard refreshing(App::globals().Refreshing);
        DisplayMessages(main, listView);
    }

    if (quiet.value_or(false) || !fetched)
        return;
    if (unread > unreadBefore)
        Tools::NotifyNewMessages();
}

void DisplayMessages(App::MainWindow &main, QTreeWidget *listView)
{
    const QString selectedKey = main.GetSelectedMsgKey();

    try {
        listView->clear();
        const QString gap = QStringLiteral("    ");
        for (const auto &message : main.PendingMessages()) {
            const SubjectFields subject = ReadSubject(message->Subject());
            const int picture =
                (message->Read() ? ReadPicture : UnreadPicture) + (subject.urgent ? 1 : 0);
            auto *item = new QTreeWidgetItem;
            item->setData(0, RowKeyRole, message->ID());
            item->setText(0, subject.caller);
            item->setText(1, subject.phone);
            item->setText(2, message->DateReceived() + gap + shortTime(message->TimeReceived()));
            setRowPicture(main, item, picture);
            listView->addTopLevelItem(item);
        }

        QHeaderView *header = listView->header();
        listView->setSortingEnabled(true);
        listView->sortItems(header->sortIndicatorSection(), header->sortIndicatorOrder());

        main.RefreshMsgCount();
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Error Displaying Pending Message List") + CrLf + CrLf +
                             error.description(),
                         App::PromptButtons::Ok, App::PromptIcon::Exclamation,
                         QStringLiteral("Display Messages Error"));
        return;
    }

    if (selectedKey.isEmpty())
        return;
    for (int row = 0; row < listView->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = listView->topLevelItem(row);
        if (rowKey(item) == selectedKey) {
            // Selecting in code is no click: the slip keeps what it shows.
            const QSignalBlocker blocker(listView);
            listView->setCurrentItem(item);
            item->setSelected(true);
            listView->scrollToItem(item);
            break;
        }
    }
}

void CountMessages(const App::Messages &pending, int &total, int &unread)
{
    total = 0;
    unread = 0;
    for (const auto &message : pending) {
        ++total;
        if (!message->Read())
            ++unread;
    }
}

App::Message &GetPendingMessage(App::MainWindow &main, const QString &key)
{
    return main.PendingMessages().Item(key);
}

void ShowSelectedMessage(App::MainWindow &main)
{
    if (App::globals().Refreshing)
        return;
    Ui::MainWindowLayout &ui = main.ui();

    QString key;
    bool wasUnread = false;
    try {
        if (QTreeWidgetItem *row = firstSelectedRow(ui.lvMsgs)) {
            const int picture = row->data(0, RowPictureRole).toInt();
            if (picture == UnreadPicture || picture == UnreadUrgentPicture) {
                setRowPicture(main, row, picture + 2);
                wasUnread = true;
            }
        }
        key = main.GetSelectedMsgKey();
        main.ClearMessageText();
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Error Getting Selected Message") + CrLf + CrLf +
                             error.description(),
                         App::PromptButtons::Ok, App::PromptIcon::None, App::AppTitle);
        return;
    }
    if (key.isEmpty())
        return;

    try {
        App::Message &message = GetPendingMessage(main, key);
        const NoteTextFields fields = ReadNoteText(message.NoteText());
        main.setMessageID(key);

        // A field the text does not hold keeps what the slip shows (it was
        // just cleared), so a text from another program shows what it has.
        const auto fill = [&ui](int index, const std::optional<QString> &value) {
            if (value)
                ui.setMessageFieldText(index, *value);
        };
        fill(1, fields.date);
        fill(2, fields.time);
        fill(3, fields.to);
        fill(4, fields.caller);
        fill(5, fields.company);
        fill(6, fields.phone);
        ui.laBy->setText(message.Sender().Name);
        // The line end before the trailer belongs to the format, not to the
        // note: saving the slip writes it again, so showing it would make every
        // save add a line to the note.
        std::optional<QString> note = fields.message;
        if (note && fields.hasTrailer && note->endsWith(QStringLiteral("\r\n")))
            note->chop(2);
        fill(7, note);
        ui.tbMsg[1]->setProperty("tag", fields.logId);

        bool receiptDue = false;
        if (fields.receiptRequested()) {
            ui.chkReturnReceipt->setChecked(true);
            const QChar state = fields.receiptState();
            if (state == u'1') {
                ui.lblReceiptStatus->setText(QStringLiteral("(Received)"));
                ui.lblReceiptStatus->setProperty("tag", QStringLiteral("1"));
            } else if (state == u'2') {
                ui.lblReceiptStatus->setProperty("tag", QStringLiteral("2"));
                ui.lblReceiptStatus->setText(QStringLiteral("(Ignore)"));
            } else {
                receiptDue = true;
            }
        } else {
            ui.chkReturnReceipt->setChecked(false);
        }

        {
            FlagGuard settingChecks(App::globals().SettingChecks);
            for (QCheckBox *box : ui.chMsg)
                box->setChecked(false);
            for (int index = 6; index < ActionCount; ++index)
                ui.chMsg[index]->setEnabled(true);
            ui.cbForward->setEnabled(true);
            for (int index = 0; index < ActionCount; ++index) {
                if (fields.actions[std::size_t(index)])
                    ui.chMsg[index]->setChecked(true);
            }
        }

        if (receiptDue) {
            if (SendReturnReceipt(main, fields.logId, ui.laBy->text())) {
                ui.lblReceiptStatus->setText(QStringLiteral("(Received)"));
                ui.lblReceiptStatus->setProperty("tag", QStringLiteral("1"));
                // The stored copy now says the receipt went back, so showing
                // it again sends no second one.
                main.pSave();
            } else {
                ui.lblReceiptStatus->setText(QStringLiteral("(Not Received)"));
                ui.lblReceiptStatus->setProperty("tag", QStringLiteral("0"));
            }
        }
        if (wasUnread) {
            (void)Data::LogMessage(main, Data::LogOccasion::Opening);
            main.RefreshMsgCount();
        }
    } catch (const App::AppError &error) {
        App::showMessage(QStringLiteral("Error Getting Selected Message") + CrLf + CrLf +
                             error.description(),
                         App::PromptButtons::Ok, App::PromptIcon::None, App::AppTitle);
    }
}

} // namespace Telvora::Mail
