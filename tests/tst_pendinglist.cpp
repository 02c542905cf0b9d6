// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "mail/mailbox.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/pendinglist.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"
#include "tools/notification.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

#include <set>

using namespace Telvora;

namespace {

/// Counts announcements of new messages instead of sounding them.
struct AnnouncementCounter
{
    AnnouncementCounter()
        : previous(Tools::setNewMessagesAnnouncer([this] { ++count; }))
    {}
    ~AnnouncementCounter() { Tools::setNewMessagesAnnouncer(std::move(previous)); }
    int count = 0;
    Tools::NewMessagesAnnouncer previous;
};

QString key(const QTreeWidgetItem *row)
{
    return row->data(0, Mail::RowKeyRole).toString();
}

int picture(const QTreeWidgetItem *row)
{
    return row->data(0, Mail::RowPictureRole).toInt();
}

/// Marks rows so a test can tell whether the list was rebuilt.
constexpr int MarkRole = Qt::UserRole + 20;

} // namespace

/// The pending list of Ann's main window on a real post office: Bob sends,
/// another client of Ann's reads and deletes behind the window's back.
class PendingListTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_bob;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_ann;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_annElsewhere;
    std::unique_ptr<App::MainWindow> m_main;
    QSet<QString> m_known; ///< identifiers deliver() has seen arrive

    /// Bob sends Ann a message; returns its identifier in Ann's mailbox.
    QString deliver(const QString &subject, const QString &noteText = QStringLiteral("TELVORA"))
    {
        Mail::MessageSet outgoing(*m_bob);
        Test::ScriptedPrompt prompt;
        if (!Mail::SendPhoneMessage(outgoing, QStringLiteral("Ann"), subject, noteText))
            qFatal("sending failed");
        for (const Mail::MessageSummary &message : m_annElsewhere->fetch(Mail::PhoneMessageClass)) {
            if (!m_known.contains(message.id)) {
                m_known.insert(message.id);
                return message.id;
            }
        }
        qFatal("the message did not arrive");
    }

    QTreeWidget *list() { return m_main->ui().lvMsgs; }

    QTreeWidgetItem *row(const QString &id)
    {
        for (int index = 0; index < list()->topLevelItemCount(); ++index) {
            if (key(list()->topLevelItem(index)) == id)
                return list()->topLevelItem(index);
        }
        return nullptr;
    }

    void select(const QString &id)
    {
        QTreeWidgetItem *item = row(id);
        QVERIFY(item);
        list()->setCurrentItem(item);
        QVERIFY(item->isSelected());
    }

    void markRows()
    {
        for (int index = 0; index < list()->topLevelItemCount(); ++index)
            list()->topLevelItem(index)->setData(0, MarkRole, true);
    }
    bool rowsMarked()
    {
        for (int index = 0; index < list()->topLevelItemCount(); ++index) {
            if (!list()->topLevelItem(index)->data(0, MarkRole).toBool())
                return false;
        }
        return true;
    }

    void fetch(bool force, std::optional<bool> quiet = std::nullopt)
    {
        Mail::FetchPendingMessages(*m_main, force, list(), quiet);
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}, {"bob", "Bob Cole"}});
        m_bob = m_postOffice->signOn(QStringLiteral("bob"));
        m_annElsewhere = m_postOffice->signOn(QStringLiteral("ann"));
        m_ann = m_postOffice->signOn(QStringLiteral("ann"));
        App::InitGlobals();
        m_main = std::make_unique<App::MainWindow>(*m_ann);
    }
    void cleanup()
    {
        m_main.reset();
        m_known.clear();
        m_ann.reset();
        m_annElsewhere.reset();
        m_bob.reset();
        m_postOffice.reset();
    }

    void fetchShowsTheMailboxAndAnnouncesGrowth()
    {
        const QString able = deliver(QStringLiteral("PHONE: Able\t555-1"));
        const QString baker = deliver(QStringLiteral("PHONE: ! Baker\t555-2"));
        const QString cole = deliver(QStringLiteral("PHONE: Cole\t555-3"));
        const QString dunn = deliver(QStringLiteral("PHONE: ! Dunn\t555-4"));
        (void)m_annElsewhere->noteText(cole);
        (void)m_annElsewhere->noteText(dunn);

        AnnouncementCounter announcements;
        Test::ScriptedPrompt prompt;
        fetch(true, true); // as at start-up: quiet
        QCOMPARE(announcements.count, 0);
        QCOMPARE(list()->topLevelItemCount(), 4);
        QCOMPARE(picture(row(able)), int(Mail::UnreadPicture));
        QCOMPARE(picture(row(baker)), int(Mail::UnreadUrgentPicture));
        QCOMPARE(picture(row(cole)), int(Mail::ReadPicture));
        QCOMPARE(picture(row(dunn)), int(Mail::ReadUrgentPicture));
        QVERIFY(!row(dunn)->icon(0).isNull());
        QCOMPARE(row(baker)->text(0), QStringLiteral("Baker"));
        QCOMPARE(row(baker)->text(1), QStringLiteral("555-2"));
        const App::Message &message = m_main->PendingMessages().Item(baker);
        QVERIFY(message.DateReceived().size() == 8);
        const QString date = row(baker)->text(2);
        QVERIFY2(date.startsWith(message.DateReceived() + QStringLiteral("    ")),
                 qPrintable(date));
        QVERIFY2(QTime::fromString(date.mid(12), QStringLiteral("HH:mm")).isValid(),
                 qPrintable(date));
        int total = 0;
        int unread = 0;
        Mail::CountMessages(m_main->PendingMessages(), total, unread);
        QCOMPARE(total, 4);
        QCOMPARE(unread, 2);

        // Nothing new: the rows and the selection stay as they are, even when
        // another client read a message meanwhile.
        select(cole);
        markRows();
        (void)m_annElsewhere->noteText(baker);
        fetch(false);
        QVERIFY(rowsMarked());
        QVERIFY(row(cole)->isSelected());
        QCOMPARE(picture(row(baker)), int(Mail::UnreadUrgentPicture));
        QCOMPARE(announcements.count, 0);

        // One read elsewhere and one arrived between two fetches: the unread
        // count did not grow.
        (void)m_annElsewhere->noteText(able);
        deliver(QStringLiteral("PHONE: East\t555-5"));
        fetch(false);
        QVERIFY(!rowsMarked());
        QCOMPARE(list()->topLevelItemCount(), 5);
        QVERIFY(row(cole)->isSelected());
        QCOMPARE(list()->currentItem(), row(cole));
        QCOMPARE(announcements.count, 0);

        // Two at once: one announcement.
        deliver(QStringLiteral("PHONE: Fox\t6"));
        deliver(QStringLiteral("PHONE: Gray\t7"));
        fetch(false);
        QCOMPARE(list()->topLevelItemCount(), 7);
        QCOMPARE(announcements.count, 1);

        // Forced: rebuilt with the store's read states, selection kept.
        markRows();
        fetch(true);
        QVERIFY(!rowsMarked());
        QCOMPARE(picture(row(able)), int(Mail::ReadPicture));
        QVERIFY(row(cole)->isSelected());
        QCOMPARE(announcements.count, 1);

        // Quiet: no announcement however much arrived.
        deliver(QStringLiteral("PHONE: Hale\t8"));
        fetch(false, true);
        QCOMPARE(list()->topLevelItemCount(), 8);
        QCOMPARE(announcements.count, 1);

        // As many messages as rows, but another set of them.
        markRows();
        Mail::MessageSet elsewhere(*m_annElsewhere);
        elsewhere.setFetchMsgType(Mail::PhoneMessageClass);
        elsewhere.Fetch();
        elsewhere.setMsgIndex(0);
        elsewhere.Delete();
        const QString india = deliver(QStringLiteral("PHONE: India\t9"));
        fetch(false);
        QVERIFY(!rowsMarked());
        QVERIFY(row(india));

        // The selected message went away: nothing is selected, nothing said.
        m_annElsewhere->remove(cole);
        fetch(true);
        QVERIFY(list()->selectedItems().isEmpty());
        QVERIFY(prompt.shown.isEmpty());
    }

    void fetchFailureIsReportedAndTheListFollows()
    {
        deliver(QStringLiteral("PHONE: Able\t1"));
        fetch(true);
        QCOMPARE(list()->topLevelItemCount(), 1);

        AnnouncementCounter announcements;
        Test::ScriptedPrompt prompt;
        m_ann->SignOff();
        fetch(false);
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.startsWith(
            QStringLiteral("Error Fetching Pending Messages\r\n\r\n")));
        QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
        // No row is left without a pending message behind it.
        QCOMPARE(m_main->PendingMessages().Count(), 0);
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(announcements.count, 0);
    }

    void subjectsAreReadAsFarAsTheyGo()
    {
        deliver(QStringLiteral("PHONE: "));
        deliver(QStringLiteral("PHONE: Zed"));
        deliver(QStringLiteral("XXXXXX!\tTAB first"));
        const QString shortOne = deliver(QStringLiteral("PHONE!"));
        deliver(QStringLiteral("PHONE: After\t1"));

        Test::ScriptedPrompt prompt;
        fetch(true);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text,
                 QStringLiteral("Error Displaying Pending Message List\r\n\r\n"
                                "Invalid procedure call or argument"));
        QCOMPARE(prompt.shown[0].title, QStringLiteral("Display Messages Error"));
        QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);

        // The rows before the unreadable subject are there, in collection order.
        int position = 0;
        for (const auto &message : m_main->PendingMessages()) {
            if (message->ID() == shortOne)
                break;
            ++position;
        }
        QCOMPARE(list()->topLevelItemCount(), position);
        std::set<std::pair<QString, QString>> shown;
        for (int index = 0; index < list()->topLevelItemCount(); ++index)
            shown.insert(
                {list()->topLevelItem(index)->text(0), list()->topLevelItem(index)->text(1)});
        const std::set<std::pair<QString, QString>> readable{
            {QString(), QString()},
            {QStringLiteral("Zed"), QString()},
            {QString(), QStringLiteral("TAB first")}};
        for (const auto &entry : shown)
            QVERIFY(readable.count(entry) == 1);
    }

    void showSelectedMessageFillsTheSlip_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("noteText");
        QTest::addColumn<int>("pictureAfter");
        QTest::addColumn<QStringList>("fields"); // tbMsg(1) to tbMsg(7)
        QTest::addColumn<QString>("logId");
        QTest::addColumn<bool>("receiptChecked");
        QTest::addColumn<QString>("receiptTag"); // "-": not looked at
        QTest::addColumn<QString>("receiptCaption");
        QTest::addColumn<QString>("digits");

        Mail::SlipText slip{QStringLiteral("5/14/97"),
                            QStringLiteral("2:05 PM"),
                            QStringLiteral("Ann Baker"),
                            QStringLiteral("Jo Quick"),
                            QStringLiteral("Acme"),
                            QStringLiteral("555-0142"),
                            QStringLiteral("Re: invoice\r\nsecond line")};
        const QStringList full{
            slip.date,    slip.time,  slip.to,     slip.caller,
            slip.company, slip.phone, slip.message}; // without the line end before the trailer
        Mail::ActionBoxes urgentCall{};
        urgentCall[2] = urgentCall[5] = true;
        Mail::ActionBoxes followedUp{};
        followedUp[0] = followedUp[6] = followedUp[9] = true;

        QTest::newRow("urgent unread, receipt due")
            << QStringLiteral("PHONE: ! Jo Quick\t555-0142")
            << Mail::BuildNoteText(slip, urgentCall, QStringLiteral("15"), QStringLiteral("10"))
            << int(Mail::ReadUrgentPicture) << full << QStringLiteral("15") << true
            << QStringLiteral("-") << QString() << QStringLiteral("25");
        QTest::newRow("receipt returned")
            << QStringLiteral("PHONE: Jo Quick\t555-0142")
            << Mail::BuildNoteText(slip, followedUp, QStringLiteral("7"), QStringLiteral("11"))
            << int(Mail::ReadPicture) << full << QStringLiteral("7") << true << QStringLiteral("1")
            << QStringLiteral("(Received)") << QStringLiteral("069");
        QTest::newRow("receipt ignored")
            << QStringLiteral("PHONE: Jo Quick\t555-0142")
            << Mail::BuildNoteText(slip, {}, QStringLiteral("8"), QStringLiteral("12"))
            << int(Mail::ReadPicture) << full << QStringLiteral("8") << true << QStringLiteral("2")
            << QStringLiteral("(Ignore)") << QString();
        QTest::newRow("no receipt asked")
            << QStringLiteral("PHONE: Jo Quick\t555-0142")
            << Mail::BuildNoteText(slip, {}, QStringLiteral("0"), QStringLiteral("0"))
            << int(Mail::ReadPicture) << full << QStringLiteral("0") << false << QStringLiteral("-")
            << QString() << QString();
        QTest::newRow("labels, no trailer")
            << QStringLiteral("PHONE: Zed\t1")
            << QStringLiteral("NAME:\t\tZed\r\nACTION:\t\t[3x]\r\nMESSAGE:\tplain text")
            << int(Mail::ReadPicture)
            << QStringList{{}, {}, {}, QStringLiteral("Zed"), {}, {}, QStringLiteral("plain text")}
            << QString() << false << QStringLiteral("-") << QString() << QStringLiteral("3");
        QTest::newRow("another program's text")
            << QStringLiteral("PHONE: Zed\t1")
            << QStringLiteral("Hello,\r\nno labels \x01\x7f here [[ DATE: ]] ACTION: [")
            << int(Mail::ReadPicture) << QStringList{{}, {}, {}, {}, {}, {}, {}} << QString()
            << false << QStringLiteral("-") << QString() << QString();
    }
    void showSelectedMessageFillsTheSlip()
    {
        QFETCH(QString, subject);
        QFETCH(QString, noteText);
        QFETCH(int, pictureAfter);
        QFETCH(QStringList, fields);
        QFETCH(QString, logId);
        QFETCH(bool, receiptChecked);
        QFETCH(QString, receiptTag);
        QFETCH(QString, receiptCaption);
        QFETCH(QString, digits);

        const QString id = deliver(subject, noteText);
        deliver(QStringLiteral("PHONE: Other\t2"));
        fetch(true);
        select(id);

        Ui::MainWindowLayout &ui = m_main->ui();
        Test::ScriptedPrompt prompt;
        Mail::ShowSelectedMessage(*m_main);
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(picture(row(id)), pictureAfter);
        QCOMPARE(m_main->MessageID(), id);
        for (int index = 1; index <= 7; ++index) {
            QString expected = fields[index - 1];
            if (index == 7)
                expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            QCOMPARE(ui.messageFieldText(index), expected);
        }
        QCOMPARE(ui.laBy->text(), QStringLiteral("Bob Cole"));
        QCOMPARE(ui.tbMsg[1]->property("tag").toString(), logId);
        QCOMPARE(ui.chkReturnReceipt->isChecked(), receiptChecked);
        if (receiptTag != QStringLiteral("-")) {
            QCOMPARE(ui.lblReceiptStatus->property("tag").toString(), receiptTag);
            QCOMPARE(ui.lblReceiptStatus->text(), receiptCaption);
        }
        for (int index = 0; index < Mail::ActionCount; ++index)
            QCOMPARE(ui.chMsg[index]->isChecked(), digits.contains(QString::number(index)));
        for (int index = 6; index < Mail::ActionCount; ++index)
            QVERIFY(ui.chMsg[index]->isEnabled());
        QVERIFY(ui.cbForward->isEnabled());
        QVERIFY(!App::globals().SettingChecks);

        int total = 0;
        int unread = 0;
        Mail::CountMessages(m_main->PendingMessages(), total, unread);
        QCOMPARE(unread, 1);
    }

    void showSelectedMessageWithoutSelectionOrWhileRefreshing()
    {
        const QString id = deliver(QStringLiteral("PHONE: ! Jo\t1"),
                                   QStringLiteral("NAME:\t\tJo\r\nMESSAGE:\thi"));
        fetch(true);
        Test::ScriptedPrompt prompt;
        Mail::ShowSelectedMessage(*m_main);
        QVERIFY(m_main->MessageID().isEmpty());

        select(id);
        App::globals().Refreshing = true;
        Mail::ShowSelectedMessage(*m_main);
        App::globals().Refreshing = false;
        QCOMPARE(picture(row(id)), int(Mail::UnreadUrgentPicture));
        QVERIFY(m_main->MessageID().isEmpty());
        QVERIFY(prompt.shown.isEmpty());
    }

    void deleteSelectedMessage_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("goneElsewhere");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("no confirmation") << false << 0 << false << true;
        QTest::newRow("confirmed") << true << int(App::PromptAnswer::Yes) << false << true;
        QTest::newRow("no") << true << int(App::PromptAnswer::No) << false << false;
        QTest::newRow("cancel") << true << int(App::PromptAnswer::Cancel) << false << false;
        QTest::newRow("refused by the store") << false << 0 << true << false;
    }
    void deleteSelectedMessage()
    {
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, goneElsewhere);
        QFETCH(bool, deleted);
        Config::settings().setConfirmDeletes(confirm);
        const QString keep = deliver(QStringLiteral("PHONE: Keep\t1"));
        const QString victim = deliver(QStringLiteral("PHONE: Victim\t2"));
        fetch(true);

        Test::ScriptedPrompt prompt;
        Mail::DeleteSelectedMessage(*m_main);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text, QStringLiteral("Select a Message to Delete"));
        QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
        QCOMPARE(list()->topLevelItemCount(), 2);
        prompt.shown.clear();

        select(victim);
        if (goneElsewhere)
            m_annElsewhere->remove(victim);
        if (confirm)
            prompt.answer(App::PromptAnswer(answer));
        Mail::DeleteSelectedMessage(*m_main);

        if (confirm) {
            QVERIFY(!prompt.shown.isEmpty());
            QCOMPARE(prompt.shown[0].text,
                     QStringLiteral("Are You Sure You Want to Delete the Selected Message?"));
            QCOMPARE(prompt.shown[0].buttons, App::PromptButtons::YesNoCancel);
            QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Question);
            QCOMPARE(prompt.shown[0].title, QStringLiteral("MAPI Telvora"));
            prompt.shown.removeFirst();
        }
        if (goneElsewhere) {
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].title, QStringLiteral("fMAPIDeleteMessage Error"));
        } else {
            QVERIFY(prompt.shown.isEmpty());
        }
        QCOMPARE(m_main->PendingMessages().contains(victim), !deleted);
        QCOMPARE(row(victim) != nullptr, !deleted);
        QVERIFY(row(keep));
        const QList<Mail::MessageSummary> stored = m_annElsewhere->fetch(Mail::PhoneMessageClass);
        QCOMPARE(stored.size(), deleted || goneElsewhere ? 1 : 2);
    }
};

QTEST_MAIN(PendingListTest)
#include "tst_pendinglist.moc"
