// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/databases.h"
#include "mail/mailformat.h"
#include "mail/pendinglist.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"
#include "tools/notification.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Telvora;

namespace {

/// One person at their own desk: their own settings and data directories,
/// their own mail session and main window.
struct Desk
{
    QString mailbox;
    QString home;
    std::unique_ptr<Mail::PostOfficeMailSystem> mail;
    std::unique_ptr<App::MainWindow> main;

    [[nodiscard]] Ui::MainWindowLayout &ui() { return main->ui(); }
};

const int PendingView = 0;
const int ReceiptView = 1;
const int LogView = 2;

} // namespace

/// A phone message from one desk to another and its return receipt back, with
/// message logging and receipts switched on at both desks, on one post office.
class TypicalMessageTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Test::ScriptedPrompt> m_prompt;
    Desk m_ann;
    Desk m_bob;

    /// Sits down at a desk: its settings and data directories become the
    /// program's, and the database files of the previous desk are closed, as
    /// the programs of two machines each hold their own.
    void sitAt(Desk &desk)
    {
        Data::databases().reset();
        qputenv("XDG_CONFIG_HOME",
                QDir(desk.home).filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", QDir(desk.home).filePath(QStringLiteral("data")).toLocal8Bit());
    }

    /// Starts the program at a desk as start-up does: logging and receipts
    /// switched on, the missing log file created, the pending list fetched.
    void startAt(Desk &desk, const char *mailbox)
    {
        desk.mailbox = QString::fromLatin1(mailbox);
        desk.home = m_postOffice->environment().filePath(desk.mailbox);
        QVERIFY(QDir().mkpath(desk.home));
        sitAt(desk);
        Config::Settings &settings = Config::settings();
        settings.setMessageLogEnabled(true);
        settings.setReturnReceipt(true);
        Data::databases().EnsureDatabases();
        QVERIFY(QFile::exists(settings.MessageLog()));
        desk.mail = m_postOffice->signOn(desk.mailbox);
        desk.main = std::make_unique<App::MainWindow>(*desk.mail);
        desk.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(desk.main.get()));
        Mail::FetchPendingMessages(*desk.main, true, desk.ui().lvMsgs, true);
    }

    static void getNew(Desk &desk) { desk.ui().toolbarButton(QStringLiteral("GetNew"))->trigger(); }

    static void compose(Desk &desk, const QString &to, const QString &caller)
    {
        desk.ui().toolbarButton(QStringLiteral("Compose"))->trigger();
        QVERIFY(desk.ui().chkReturnReceipt->isChecked());
        QTest::keyClicks(desk.ui().tbMsg[3], to);
        QTest::keyClicks(desk.ui().tbMsg[4], caller);
        QTest::keyClicks(desk.ui().tbMsg[6], QStringLiteral("555-0100"));
        QTest::keyClicks(desk.ui().tbMsgNote, QStringLiteral("Please call back"));
        desk.ui().toolbarButton(QStringLiteral("Send"))->trigger();
    }

    /// The number of rows a view of the message log lists.
    static int rowsOf(Desk &desk, int view)
    {
        desk.ui().tabMessages->setCurrentIndex(view);
        const int rows = desk.ui().dblstMessages->model()->rowCount();
        desk.ui().tabMessages->setCurrentIndex(PendingView);
        return rows;
    }

    /// The subjects of the receipts waiting in a mailbox.
    QStringList receiptsWaitingFor(const Desk &desk)
    {
        auto session = m_postOffice->signOn(desk.mailbox);
        QStringList subjects;
        const QList<Mail::MessageSummary> receipts = session->fetch(Mail::ReceiptMessageClass);
        for (const Mail::MessageSummary &receipt : receipts)
            subjects.append(receipt.subject);
        return subjects;
    }

    static void clickPendingRow(Desk &desk, const QString &caller)
    {
        QTreeWidget *list = desk.ui().lvMsgs;
        const QList<QTreeWidgetItem *> rows = list->findItems(caller, Qt::MatchExactly, 0);
        QCOMPARE(rows.size(), 1);
        list->scrollToItem(rows.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(rows.first()).center());
        QCOMPARE(desk.ui().tbMsg[4]->text(), caller);
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}, {"bob", "Bob Stone"}});
        m_prompt = std::make_unique<Test::ScriptedPrompt>();
        App::globals() = App::Globals{};
        Tools::setNewMessagesAnnouncer([] {});
        startAt(m_ann, "ann");
        startAt(m_bob, "bob");
        // Each start told its user that an empty log was created.
        QCOMPARE(m_prompt->shown.size(), 2);
        m_prompt->shown.clear();
    }

    void cleanup()
    {
        Data::databases().reset();
        for (Desk *desk : {&m_ann, &m_bob}) {
            desk->main.reset();
            desk->mail.reset();
        }
        m_prompt.reset();
        m_postOffice.reset();
    }

    void receiptComesBackForTheMessageOpened()
    {
        // Ann takes two calls for Bob and asks for receipts.
        sitAt(m_ann);
        compose(m_ann, QStringLiteral("Bob Stone"), QStringLiteral("Pat Caller"));
        compose(m_ann, QStringLiteral("Bob Stone"), QStringLiteral("Lee Other"));
        QVERIFY(m_prompt->shown.isEmpty());
        QCOMPARE(rowsOf(m_ann, ReceiptView), 2);

        // Bob's fetch lists both, unread; he opens Pat's.
        sitAt(m_bob);
        getNew(m_bob);
        QCOMPARE(m_bob.ui().lvMsgs->topLevelItemCount(), 2);
        QCOMPARE(m_bob.ui().statusPanel(QStringLiteral("Pending"))->text(),
                 QStringLiteral("2 Pending Messages, 2 Unread"));
        QCOMPARE(rowsOf(m_bob, LogView), 0);
        clickPendingRow(m_bob, QStringLiteral("Pat Caller"));
        QCOMPARE(m_bob.ui().lblReceiptStatus->text(), QStringLiteral("(Received)"));
        QCOMPARE(m_bob.ui().laBy->text(), QStringLiteral("Ann Baker"));
        QCOMPARE(m_bob.ui().statusPanel(QStringLiteral("Pending"))->text(),
                 QStringLiteral("2 Pending Messages, 1 Unread"));
        QCOMPARE(receiptsWaitingFor(m_ann), QStringList{QStringLiteral("1")});
        QCOMPARE(rowsOf(m_bob, LogView), 1);

        // Opened again, the message sends no second receipt and logs nothing more.
        clickPendingRow(m_bob, QStringLiteral("Pat Caller"));
        QCOMPARE(m_bob.ui().lblReceiptStatus->text(), QStringLiteral("(Received)"));
        QCOMPARE(receiptsWaitingFor(m_ann).size(), 1);
        QCOMPARE(rowsOf(m_bob, LogView), 1);
        QVERIFY(m_prompt->shown.isEmpty());

        // Ann's next fetch acknowledges her record and deletes the receipt:
        // only Lee's message still waits for one.
        sitAt(m_ann);
        getNew(m_ann);
        QVERIFY(receiptsWaitingFor(m_ann).isEmpty());
        QCOMPARE(rowsOf(m_ann, ReceiptView), 1);
        QCOMPARE(rowsOf(m_ann, LogView), 2);

        m_ann.ui().tabMessages->setCurrentIndex(ReceiptView);
        QListView *list = m_ann.ui().dblstMessages;
        const QModelIndex row = list->model()->index(0, list->modelColumn());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
        QCOMPARE(m_ann.ui().tbMsg[4]->text(), QStringLiteral("Lee Other"));
        QCOMPARE(m_ann.ui().lblReceiptStatus->property("tag").toString(), QStringLiteral("0"));
        QVERIFY(m_prompt->shown.isEmpty());
    }
};

QTEST_MAIN(TypicalMessageTest)
#include "tst_typicalmessage.moc"
