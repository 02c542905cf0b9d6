// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/databases.h"
#include "mail/mailformat.h"
#include "mail/messageset.h"
#include "mail/pendinglist.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "settings/inistore.h"
#include "settings/settings.h"
#include "temppostoffice.h"
#include "tools/notification.h"
#include "ui/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Telvora;

namespace {

struct StoredMessage
{
    QString id;
    QString subject;
    QString noteText;
};

} // namespace

/// The main window's controller on a real post office: Ann Baker is signed
/// on; John Smith and Mary Jones are her colleagues.
class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_mail;
    std::unique_ptr<App::MainWindow> m_main;

    Ui::MainWindowLayout &ui() { return m_main->ui(); }

    std::unique_ptr<Mail::PostOfficeMailSystem> signOn(const char *mailbox)
    {
        return m_postOffice->signOn(QString::fromLatin1(mailbox));
    }

    /// The phone messages in a mailbox, oldest first.
    QList<StoredMessage> storedMessages(const char *mailbox)
    {
        auto session = signOn(mailbox);
        QList<StoredMessage> result;
        const QList<Mail::MessageSummary> summaries = session->fetch(Mail::PhoneMessageClass);
        for (const Mail::MessageSummary &summary : summaries)
            result.append({summary.id, summary.subject, session->noteText(summary.id)});
        return result;
    }

    /// John sends Ann a phone message from Pat; returns nothing.
    void deliverToAnn(const QString &caller, const QString &note,
                      const Mail::ActionBoxes &actions = {})
    {
        auto john = signOn("john");
        Mail::MessageSet outgoing(*john);
        outgoing.Compose();
        outgoing.setRecipIndex(0);
        outgoing.setRecipDisplayName(QStringLiteral("Ann Baker"));
        Mail::SlipText slip;
        slip.date = QStringLiteral("03/04/24");
        slip.time = QStringLiteral("10:15 AM");
        slip.to = QStringLiteral("Ann Baker");
        slip.caller = caller;
        slip.phone = QStringLiteral("555-0199");
        slip.message = note;
        outgoing.setMsgSubject(Mail::BuildSubject(caller, slip.phone, false));
        outgoing.setMsgNoteText(
            Mail::BuildNoteText(slip, actions, QStringLiteral("0"), QStringLiteral("00")));
        outgoing.setMsgType(Mail::PhoneMessageClass);
        outgoing.Send();
    }

    /// Lists Ann's messages and shows the newest on the slip.
    QString showNewestMessage()
    {
        Mail::FetchPendingMessages(*m_main, true, ui().lvMsgs, true);
        const QString id = storedMessages("ann").constLast().id;
        m_main->DoMailCommand(QStringLiteral("1") + id);
        return id;
    }

    void fillSlip()
    {
        ui().tbMsg[1]->setText(QStringLiteral("01/02/24"));
        ui().tbMsg[2]->setText(QStringLiteral("9:05 AM"));
        ui().tbMsg[3]->setText(QStringLiteral("John Smith"));
        ui().tbMsg[4]->setText(QStringLiteral("Pat Caller"));
        ui().tbMsg[5]->setText(QStringLiteral("Acme"));
        ui().tbMsg[6]->setText(QStringLiteral("555-0100"));
        ui().tbMsgNote->setPlainText(QStringLiteral("Call back\nsoon"));
    }

    void activate()
    {
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(QList<Test::TempPostOffice::Mailbox>{
            {"ann", "Ann Baker"}, {"john", "John Smith"}, {"mary", "Mary Jones"}});
        m_mail = signOn("ann");
        App::globals() = App::Globals{};
        // The receipt and log views read an (empty) message log.
        const QString log = m_postOffice->environment().filePath(QStringLiteral("msglog.mdb"));
        Config::settings().setMessageLog(log);
        QVERIFY(Data::databases().CreateLogDatabase(log));
        m_main = std::make_unique<App::MainWindow>(*m_mail);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        Data::databases().reset();
        m_main.reset();
        m_mail.reset();
        m_postOffice.reset();
    }

    // --- the slip's typing aids -------------------------------------------------

    void recipientCompletesFromThePickListInListOrder()
    {
        // The list keeps its file's order: John comes before Joan here.
        ui().lstRecipients->addItems({QStringLiteral("Mary Jones"), QStringLiteral("John Smith"),
                                      QStringLiteral("Joan Doe")});
        QLineEdit *to = ui().tbMsg[3];
        QTest::keyClicks(to, QStringLiteral("jo"));
        QCOMPARE(to->text(), QStringLiteral("John Smith"));
        QCOMPARE(to->selectedText(), QStringLiteral("hn Smith"));

        QTest::keyClick(to, Qt::Key_Backspace);
        QCOMPARE(to->text(), QStringLiteral("John Smith"));
        QCOMPARE(to->selectionStart(), 1);
        QCOMPARE(to->selectedText(), QStringLiteral("ohn Smith"));

        // A name nobody in the list starts with stays as typed.
        to->clear();
        QTest::keyClicks(to, QStringLiteral("Zed"));
        QCOMPARE(to->text(), QStringLiteral("Zed"));
        QVERIFY(!to->hasSelectedText());
    }

    void pickListOpensPicksAndCloses()
    {
        activate();
        ui().lstRecipients->addItems({QStringLiteral("Mary Jones"), QStringLiteral("John Smith")});
        ui().tbMsg[3]->setFocus();
        QTest::keyClick(ui().tbMsg[3], Qt::Key_Down);
        QVERIFY(ui().lstRecipients->isVisible());
        QCOMPARE(QApplication::focusWidget(), ui().lstRecipients);

        // Moving through the list does not pick; Enter does.
        ui().lstRecipients->setCurrentRow(0);
        QTest::keyClick(ui().lstRecipients, Qt::Key_Down);
        QCOMPARE(ui().tbMsg[3]->text(), QString());
        QTest::keyClick(ui().lstRecipients, Qt::Key_Return);
        QCOMPARE(ui().tbMsg[3]->text(), QStringLiteral("John Smith"));
        QCOMPARE(QApplication::focusWidget(), ui().tbMsg[3]);
        QVERIFY(!ui().lstRecipients->isVisible());

        ui().Toolbar1Button->trigger();
        QVERIFY(ui().lstRecipients->isVisible());
        QTest::keyClick(ui().lstRecipients, Qt::Key_Escape);
        QVERIFY(!ui().lstRecipients->isVisible());
        QCOMPARE(ui().tbMsg[3]->text(), QStringLiteral("John Smith"));
    }

    void enterMovesToTheNextField()
    {
        activate();
        for (int index = 1; index <= 6; ++index) {
            ui().messageField(index)->setFocus();
            QTest::keyClick(ui().messageField(index), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), ui().messageField(index + 1));
        }
        // In the note Enter starts a new line.
        QTest::keyClicks(ui().tbMsgNote, QStringLiteral("a"));
        QTest::keyClick(ui().tbMsgNote, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), ui().tbMsgNote);
        QCOMPARE(ui().tbMsgNote->toPlainText(), QStringLiteral("a\n"));
    }

    void urgentAndCheckedBoxesChangeTheirLook()
    {
        QCheckBox *urgent = ui().chMsg[5];
        const QImage normalBorder = ui().imglstBorders.picture(1).toImage();
        const QImage urgentBorder = ui().imglstBorders.picture(2).toImage();
        QCOMPARE(ui().imgBorder->pixmap().toImage(), normalBorder);

        urgent->click();
        QCOMPARE(ui().imgBorder->pixmap().toImage(), urgentBorder);
        QCOMPARE(urgent->font().pointSizeF(), 12.0);
        QVERIFY(urgent->font().bold());
        QCOMPARE(urgent->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));

        urgent->click();
        QCOMPARE(ui().imgBorder->pixmap().toImage(), normalBorder);
        QCOMPARE(urgent->font().pointSizeF(), ui().chMsg[4]->font().pointSizeF());
        QVERIFY(!urgent->font().bold());
        QCOMPARE(urgent->palette().color(QPalette::WindowText),
                 ui().chMsg[4]->palette().color(QPalette::WindowText));

        QCheckBox *pleaseCall = ui().chMsg[2];
        QVERIFY(!pleaseCall->font().bold());
        pleaseCall->click();
        QVERIFY(pleaseCall->font().bold());
        pleaseCall->click();
        QVERIFY(!pleaseCall->font().bold());
    }

    // --- composing and sending ----------------------------------------------------

    void composeStartsWithTheDefaults_data()
    {
        QTest::addColumn<bool>("logEnabled");
        QTest::addColumn<bool>("receiptWanted");
        QTest::addColumn<bool>("receiptChecked");
        QTest::addColumn<bool>("receiptEnabled");
        QTest::newRow("log off: no receipts") << false << true << false << false;
        QTest::newRow("log on, receipt wanted") << true << true << true << true;
        QTest::newRow("log on, no receipt wanted") << true << false << false << true;
    }
    void composeStartsWithTheDefaults()
    {
        QFETCH(bool, logEnabled);
        QFETCH(bool, receiptWanted);
        Config::settings().setMessageLogEnabled(logEnabled);
        Config::settings().setReturnReceipt(receiptWanted);
        App::globals().DefaultActions = QStringLiteral("0257x9");
        ui().tbMsg[4]->setText(QStringLiteral("left over"));

        ui().toolbarButton(QStringLiteral("Compose"))->trigger();

        for (int index = 0; index < Mail::ActionCount; ++index)
            QCOMPARE(ui().chMsg[index]->isChecked(), index == 0 || index == 2 || index == 5);
        QCOMPARE(ui().imgBorder->pixmap().toImage(), ui().imglstBorders.picture(2).toImage());
        QCOMPARE(ui().tbMsg[4]->text(), QString());
        QCOMPARE(ui().tbMsg[1]->text(),
                 QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY2(QRegularExpression(QStringLiteral("^(1[0-2]|[1-9]):[0-5][0-9] (AM|PM)$"))
                     .match(ui().tbMsg[2]->text())
                     .hasMatch(),
                 qPrintable(ui().tbMsg[2]->text()));
        QTEST(ui().chkReturnReceipt->isChecked(), "receiptChecked");
        QTEST(ui().chkReturnReceipt->isEnabled(), "receiptEnabled");
        for (int index = 6; index < Mail::ActionCount; ++index)
            QVERIFY(!ui().chMsg[index]->isEnabled());
    }

    void sendDeliversTheSlipAndClearsIt()
    {
        Test::ScriptedPrompt prompt;
        fillSlip();
        ui().chMsg[2]->setChecked(true);
        ui().chMsg[5]->setChecked(true);
        ui().toolbarButton(QStringLiteral("Send"))->trigger();

        QVERIFY(prompt.shown.isEmpty());
        const QList<StoredMessage> received = storedMessages("john");
        QCOMPARE(received.size(), 1);
        QCOMPARE(received[0].subject, QStringLiteral("PHONE: ! Pat Caller\t555-0100"));
        QCOMPARE(received[0].noteText, QStringLiteral("TELVORA\r\n\r\n"
                                                      "TO:\t\tJohn Smith\r\n"
                                                      "DATE:\t\t01/02/24\t9:05 AM\r\n"
                                                      "NAME:\t\tPat Caller\r\n"
                                                      "OF:\t\tAcme\r\n"
                                                      "PHONE:\t\t555-0100\r\n"
                                                      "ACTION:\t\tPlease Call\r\n"
                                                      "\t\tUrgent\r\n"
                                                      "\t\t[25]\r\n"
                                                      "MESSAGE:\tCall back\r\nsoon\r\n"
                                                      "[[0|00]]"));
        QCOMPARE(ui().tbMsg[3]->text(), QString());
        QCOMPARE(ui().tbMsgNote->toPlainText(), QString());
        QVERIFY(!ui().chMsg[5]->isChecked());
    }

    void composeAndSendUseCallerSearchAndTheLog()
    {
        Test::ScriptedPrompt prompt;
        Config::Settings &settings = Config::settings();
        settings.setCallerMDB(m_postOffice->environment().filePath(QStringLiteral("callers.mdb")));
        QVERIFY(Data::databases().CreateCallerDatabase());
        settings.setCallerEnabled(true);
        settings.setMessageLogEnabled(true);
        settings.setReturnReceipt(false);

        // Composing opens the caller file; a new caller is stored on sending
        // and the log number travels in the trailer.
        m_main->ComposeMessage();
        QVERIFY(App::globals().CallerOpen);
        ui().tbMsg[3]->setText(QStringLiteral("John Smith"));
        QTest::keyClicks(ui().tbMsg[4], QStringLiteral("Pat Caller"));
        QTest::keyClicks(ui().tbMsg[5], QStringLiteral("Acme"));
        QTest::keyClicks(ui().tbMsg[6], QStringLiteral("555-0100"));
        ui().toolbarButton(QStringLiteral("Send"))->trigger();
        QVERIFY(prompt.shown.isEmpty());
        QVERIFY(storedMessages("john").constFirst().noteText.endsWith(QStringLiteral("[[1|00]]")));

        // Typing three letters of a stored caller fills company and phone;
        // Backspace over the completion takes the fill back.
        m_main->ComposeMessage();
        QLineEdit *caller = ui().tbMsg[4];
        QTest::keyClicks(caller, QStringLiteral("pa"));
        QCOMPARE(caller->text(), QStringLiteral("pa"));
        QTest::keyClicks(caller, QStringLiteral("t"));
        QCOMPARE(caller->text(), QStringLiteral("Pat Caller"));
        QCOMPARE(caller->selectedText(), QStringLiteral(" Caller"));
        QCOMPARE(ui().tbMsg[5]->text(), QStringLiteral("Acme"));
        QCOMPARE(ui().tbMsg[6]->text(), QStringLiteral("555-0100"));
        QTest::keyClick(caller, Qt::Key_Backspace);
        QCOMPARE(caller->text(), QStringLiteral("Pa"));
        QCOMPARE(ui().tbMsg[5]->text(), QString());
        QCOMPARE(ui().tbMsg[6]->text(), QString());

        // A slip that is not being composed completes nothing.
        m_main->ClearMessage();
        QTest::keyClicks(caller, QStringLiteral("Pat"));
        QCOMPARE(caller->text(), QStringLiteral("Pat"));

        // The log view lists the sent message; a click shows it on the slip.
        m_main->ClearMessage();
        ui().tabMessages->setCurrentIndex(2);
        QListView *list = ui().dblstMessages;
        QCOMPARE(list->model()->rowCount(), 1);
        const QModelIndex row = list->model()->index(0, list->modelColumn());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
        QCOMPARE(ui().tbMsg[4]->text(), QStringLiteral("Pat Caller"));
        QCOMPARE(ui().tbMsg[3]->text(), QStringLiteral("John Smith"));
        QVERIFY(prompt.shown.isEmpty());
    }

    void ignoringAReceiptTakesItOffTheReceiptView()
    {
        Test::ScriptedPrompt prompt;
        Config::settings().setMessageLogEnabled(true);
        fillSlip();
        ui().chkReturnReceipt->setChecked(true);
        ui().toolbarButton(QStringLiteral("Send"))->trigger();
        QVERIFY(prompt.shown.isEmpty());

        ui().tabMessages->setCurrentIndex(1);
        QListView *list = ui().dblstMessages;
        QCOMPARE(list->model()->rowCount(), 1);
        const QModelIndex row = list->model()->index(0, list->modelColumn());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
        QVERIFY(ui().cmdIgnore->isVisible());
        QCOMPARE(ui().lblReceiptStatus->text(), QStringLiteral("(Not Received)"));
        QTest::mouseClick(ui().cmdIgnore, Qt::LeftButton);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(ui().tbMsg[4]->text(), QString());

        // Leaving the view detaches the list from the log.
        ui().tabMessages->setCurrentIndex(0);
        QVERIFY(!Data::databases().LogListBound);
        QVERIFY(prompt.shown.isEmpty());
    }

    void sendStampsAnEmptyDateAndTime()
    {
        Test::ScriptedPrompt prompt;
        fillSlip();
        ui().tbMsg[1]->setText(QStringLiteral("  "));
        ui().tbMsg[2]->clear();
        ui().mnuFSend->trigger();

        const QList<StoredMessage> received = storedMessages("john");
        QCOMPARE(received.size(), 1);
        const Mail::NoteTextFields fields = Mail::ReadNoteText(received[0].noteText);
        QCOMPARE(fields.date.value_or(QString()),
                 QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!fields.time.value_or(QString()).isEmpty());
        // No action box: the digits follow on the ACTION line itself.
        QVERIFY(received[0].noteText.contains(QStringLiteral("ACTION:\t\t[]\r\n")));
    }

    void sendThatCannotGoLeavesTheSlip_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("empty To")
            << QString()
            << QStringLiteral("You must enter the name of the person to send this message to.");
        QTest::newRow("blank To")
            << QStringLiteral("   ")
            << QStringLiteral("You must enter the name of the person to send this message to.");
        QTest::newRow("unknown person")
            << QStringLiteral("Nobody Here") << QStringLiteral("Error Sending Message");
    }
    void sendThatCannotGoLeavesTheSlip()
    {
        QFETCH(QString, to);
        QFETCH(QString, boxText);
        Test::ScriptedPrompt prompt;
        fillSlip();
        ui().tbMsg[3]->setText(to);
        ui().toolbarButton(QStringLiteral("Send"))->trigger();

        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY2(prompt.shown[0].text.startsWith(boxText), qPrintable(prompt.shown[0].text));
        QCOMPARE(prompt.shown[0].title, App::AppTitle);
        QCOMPARE(ui().tbMsg[3]->text(), to);
        QCOMPARE(ui().tbMsg[4]->text(), QStringLiteral("Pat Caller"));
        QCOMPARE(ui().tbMsgNote->toPlainText(), QStringLiteral("Call back\nsoon"));
        for (const char *mailbox : {"ann", "john", "mary"})
            QVERIFY(storedMessages(mailbox).isEmpty());
    }

    // --- received messages ----------------------------------------------------------

    void followUpTickIsSavedAtOnce()
    {
        Test::ScriptedPrompt prompt;
        deliverToAnn(QStringLiteral("Pat"), QStringLiteral("Please call"));
        const QString id = showNewestMessage();
        QCOMPARE(m_main->MessageID(), id);
        QVERIFY(ui().chMsg[7]->isEnabled());

        ui().chMsg[7]->click();
        QVERIFY(prompt.shown.isEmpty());
        const QString stored = storedMessages("ann").constLast().noteText;
        QVERIFY2(stored.contains(QStringLiteral("\t\tLeft Message\r\n\t\t[7]\r\n")),
                 qPrintable(stored));
        // The trailer keeps the sender's log number and the receipt flags.
        QVERIFY(stored.endsWith(QStringLiteral("\r\n[[0|00]]")));
    }

    void savingAgainKeepsTheMessageText()
    {
        Test::ScriptedPrompt prompt;
        deliverToAnn(QStringLiteral("Pat"), QStringLiteral("Please call"));
        const QString id = showNewestMessage();
        ui().chMsg[7]->click();
        m_main->DoMailCommand(QStringLiteral("1") + id);
        ui().chMsg[8]->click();
        const QString stored = storedMessages("ann").constLast().noteText;
        QVERIFY2(stored.endsWith(QStringLiteral("MESSAGE:\tPlease call\r\n[[0|00]]")),
                 qPrintable(stored));
    }

    void forwardingSendsOnAndRecordsIt_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("sent");
        QTest::newRow("to a colleague") << QStringLiteral("mary") << true;
        QTest::newRow("to nobody known") << QStringLiteral("nobody") << false;
    }
    void forwardingSendsOnAndRecordsIt()
    {
        QFETCH(QString, answer);
        QFETCH(bool, sent);
        Test::ScriptedPrompt prompt;
        deliverToAnn(QStringLiteral("Pat"), QStringLiteral("Please call"));
        showNewestMessage();
        QVERIFY(ui().cbForward->isEnabled());

        prompt.answerInput(answer);
        QTest::mouseClick(ui().cbForward, Qt::LeftButton);

        QCOMPARE(prompt.shown[0].text, QStringLiteral("Type Name of Person to Receive Message"));
        QCOMPARE(prompt.shown[0].title, QStringLiteral("Forward Message"));
        QCOMPARE(ui().tbMsg[3]->text(), QStringLiteral("Ann Baker"));
        const QString stored = storedMessages("ann").constLast().noteText;
        if (sent) {
            QCOMPARE(prompt.shown.size(), 1);
            const QList<StoredMessage> forwarded = storedMessages("mary");
            QCOMPARE(forwarded.size(), 1);
            QVERIFY(forwarded[0].noteText.contains(QStringLiteral("TO:\t\tmary\r\n")));
            QVERIFY(forwarded[0].noteText.contains(
                QStringLiteral("MESSAGE:\tFORWARDED FROM ANN BAKER.  Please call\r\n")));
            QVERIFY(ui().tbMsgNote->toPlainText().startsWith(
                QStringLiteral("FORWARDED TO MARY.  Please call")));
            QVERIFY(ui().chMsg[9]->isChecked());
            QVERIFY2(stored.contains(QStringLiteral("MESSAGE:\tFORWARDED TO MARY.  Please call")),
                     qPrintable(stored));
            QVERIFY(stored.contains(QStringLiteral("\t\tForwarded\r\n\t\t[9]")));
        } else {
            QCOMPARE(prompt.shown.size(), 2);
            QVERIFY(prompt.shown[1].text.startsWith(QStringLiteral("Error Sending Message")));
            QVERIFY(ui().tbMsgNote->toPlainText().startsWith(QStringLiteral("Please call")));
            QVERIFY(!ui().chMsg[9]->isChecked());
            QVERIFY(!stored.contains(QStringLiteral("FORWARDED")));
        }
        QVERIFY(storedMessages("john").isEmpty());
    }

    // --- commands, timer, lists ------------------------------------------------------

    void openCommandReReadsOnceQuietly_data()
    {
        QTest::addColumn<bool>("delivered");
        QTest::newRow("delivered after the last fetch") << true;
        QTest::newRow("not in the mail box") << false;
    }
    void openCommandReReadsOnceQuietly()
    {
        QFETCH(bool, delivered);
        Test::ScriptedPrompt prompt;
        int notifications = 0;
        const auto previous = Tools::setNewMessagesAnnouncer([&notifications] { ++notifications; });
        QString id = QStringLiteral("no-such-message");
        if (delivered) {
            deliverToAnn(QStringLiteral("Pat"), QStringLiteral("Please call"));
            id = storedMessages("ann").constLast().id;
        }
        ui().tabMessages->setCurrentIndex(2);

        m_main->DoMailCommand(QStringLiteral("1") + id);
        Tools::setNewMessagesAnnouncer(previous);

        QCOMPARE(notifications, 0);
        QCOMPARE(ui().tabMessages->currentIndex(), 0);
        QCOMPARE(ui().lvMsgs->topLevelItemCount(), delivered ? 1 : 0);
        if (delivered) {
            QVERIFY(prompt.shown.isEmpty());
            QCOMPARE(m_main->MessageID(), id);
            QCOMPARE(ui().tbMsg[4]->text(), QStringLiteral("Pat"));
        } else {
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].text,
                     QStringLiteral("Unable to Open Message in Pending Messages List"));
            QCOMPARE(prompt.shown[0].title, QStringLiteral("DoMailCommand Error"));
            QCOMPARE(prompt.shown[0].icon, App::PromptIcon::Exclamation);
            QCOMPARE(m_main->MessageID(), QString());
        }
    }

    void handedOverCommandIsCarriedOut()
    {
        ui().txtPoke->setText(QStringLiteral("0"));
        QCOMPARE(ui().txtPoke->text(), QString());
        QVERIFY(!ui().tbMsg[1]->text().isEmpty());
        // Any other digit only brings the pending list forward.
        ui().tabMessages->setCurrentIndex(1);
        ui().txtPoke->setText(QStringLiteral("7abc"));
        QCOMPARE(ui().tabMessages->currentIndex(), 0);
        QCOMPARE(ui().tbMsg[1]->text(), QString());
    }

    void timerFetchesEveryFetchMinutes_data()
    {
        QTest::addColumn<int>("fetchMinutes");
        QTest::addColumn<QList<int>>("fetchTicks");
        QTest::newRow("never") << 0 << QList<int>{};
        QTest::newRow("every minute") << 1 << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("every five minutes") << 5 << QList<int>{5, 10};
    }
    void timerFetchesEveryFetchMinutes()
    {
        QFETCH(int, fetchMinutes);
        QFETCH(QList<int>, fetchTicks);
        App::globals().FetchMinutes = fetchMinutes;
        const auto previous = Tools::setNewMessagesAnnouncer([] {});
        QList<int> fetched;
        const int ticks = fetchMinutes == 1 ? 6 : 10;
        for (int tick = 1; tick <= ticks; ++tick) {
            deliverToAnn(QStringLiteral("Caller %1").arg(tick), QStringLiteral("x"));
            const int before = m_main->PendingMessages().Count();
            m_main->Timer1_Timer();
            if (m_main->PendingMessages().Count() != before)
                fetched.append(tick);
        }
        Tools::setNewMessagesAnnouncer(previous);
        QCOMPARE(fetched, fetchTicks);
    }

    void columnClickSorts()
    {
        for (const char *name : {"Bea", "Al", "Cy"}) {
            auto *item = new QTreeWidgetItem(ui().lvMsgs);
            item->setText(0, QLatin1String(name));
            item->setText(1, QLatin1String(name).toString().toLower());
        }
        QHeaderView *header = ui().lvMsgs->header();
        const auto clickColumn = [header](int column) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        const auto firstRow = [this] { return ui().lvMsgs->topLevelItem(0)->text(0); };

        clickColumn(0);
        QCOMPARE(firstRow(), QStringLiteral("Al"));
        clickColumn(0);
        QCOMPARE(firstRow(), QStringLiteral("Cy"));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        clickColumn(0);
        QCOMPARE(firstRow(), QStringLiteral("Al"));
        clickColumn(0);
        // Another column keeps the direction.
        clickColumn(1);
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(firstRow(), QStringLiteral("Cy"));
    }

    void viewKeysSwitchTheLists()
    {
        activate();
        ui().lvMsgs->setFocus();
        QTest::keyClick(ui().lvMsgs, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(ui().tabMessages->currentIndex(), 1);
        QVERIFY(ui().dblstMessages->isVisible());
        QVERIFY(!ui().lvMsgs->isVisible());
        QCOMPARE(QApplication::focusWidget(), ui().dblstMessages);
        QVERIFY(!ui().toolbarButton(QStringLiteral("Save"))->isEnabled());

        QTest::keyClick(ui().dblstMessages, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(ui().tabMessages->currentIndex(), 0);
        QVERIFY(ui().lvMsgs->isVisible());
        QCOMPARE(QApplication::focusWidget(), ui().lvMsgs);
        QVERIFY(ui().toolbarButton(QStringLiteral("Save"))->isEnabled());
    }

    void statusBarShowsCountsAndToggles()
    {
        deliverToAnn(QStringLiteral("One"), QStringLiteral("x"));
        deliverToAnn(QStringLiteral("Two"), QStringLiteral("x"));
        deliverToAnn(QStringLiteral("Three"), QStringLiteral("x"));
        {
            auto ann = signOn("ann");
            const QList<Mail::MessageSummary> summaries = ann->fetch(Mail::PhoneMessageClass);
            (void)ann->noteText(summaries[0].id);
            (void)ann->noteText(summaries[1].id);
        }
        Mail::FetchPendingMessages(*m_main, true, ui().lvMsgs, true);
        QCOMPARE(ui().statusPanel(QStringLiteral("Pending"))->text(),
                 QStringLiteral("3 Pending Messages, 1 Unread"));

        m_main->UpdateStatusBar();
        QLabel *log = ui().statusPanel(QStringLiteral("Log"));
        QCOMPARE(log->text(), QStringLiteral("Message Log - OFF"));
        QTest::mouseClick(log, Qt::LeftButton);
        QVERIFY(Config::settings().MessageLogEnabled());
        QCOMPARE(log->text(), QStringLiteral("Message Log - ON"));
        QTest::mouseClick(log, Qt::LeftButton);
        QVERIFY(!Config::settings().MessageLogEnabled());

        // Caller search cannot be switched on without its file; with it, the
        // panel opens and closes the file.
        Test::ScriptedPrompt prompt;
        const QString callers = m_postOffice->environment().filePath(QStringLiteral("callers.mdb"));
        Config::settings().setCallerMDB(callers);
        QLabel *caller = ui().statusPanel(QStringLiteral("Caller"));
        QTest::mouseClick(caller, Qt::LeftButton);
        QVERIFY(!Config::settings().CallerEnabled());
        QCOMPARE(caller->text(), QStringLiteral("Caller Search - OFF"));
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(!App::globals().CallerOpen);
        QVERIFY(Data::databases().CreateCallerDatabase());
        QTest::mouseClick(caller, Qt::LeftButton);
        QVERIFY(Config::settings().CallerEnabled());
        QVERIFY(App::globals().CallerOpen);
        QCOMPARE(caller->text(), QStringLiteral("Caller Search - ON"));
        QTest::mouseClick(caller, Qt::LeftButton);
        QVERIFY(!Config::settings().CallerEnabled());
        QVERIFY(!App::globals().CallerOpen);

        ui().mnuTStatusBar->trigger();
        QVERIFY(!Config::settings().StatusBar());
        QVERIFY(!ui().StatusBar1->isVisible());
        QVERIFY(!ui().mnuTStatusBar->isChecked());
        ui().mnuTStatusBar->trigger();
        QVERIFY(Config::settings().StatusBar());
        QVERIFY(ui().StatusBar1->isVisible());
    }

    void resizeFitsTheListsToTheWindow()
    {
        m_main->resize(640, 520);
        QWidget *form = ui().form;
        QTRY_COMPARE(form->width() > 500, true);
        const QRect tab = ui().tabMessages->geometry();
        const QRect list = ui().lvMsgs->geometry();
        QVERIFY(tab.right() < form->width() && tab.bottom() < form->height());
        QVERIFY(tab.contains(list));
        QCOMPARE(ui().dblstMessages->geometry(), list);
        QVERIFY(ui().tbMsgNote->geometry().right() < form->width());

        // Without the status bar the lists take its room.
        ui().mnuTStatusBar->trigger();
        QVERIFY(ui().tabMessages->height() > tab.height());
        ui().mnuTStatusBar->trigger();
        QCOMPARE(ui().tabMessages->height(), tab.height());

        // Too narrow or too low: nothing is left of the lists. (The status
        // bar's panels keep the window wider than that while it shows.)
        ui().mnuTStatusBar->trigger();
        m_main->resize(60, 520);
        QTRY_VERIFY(Ui::TwipsScale(m_main.get()).twips(form->width()) + 120 <= 1500);
        QCOMPARE(ui().lvMsgs->width(), 0);
        QCOMPARE(ui().tabMessages->width(), 0);
        m_main->resize(640, 60);
        QTRY_COMPARE(ui().lvMsgs->height(), 0);
        QCOMPARE(ui().tabMessages->height(), 0);
        QVERIFY(ui().lvMsgs->width() > 0);
    }

    void windowRectangleIsRestored_data()
    {
        QTest::addColumn<QString>("startup");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("stored") << QStringLiteral(" 1500, 1200, 9000, 7500")
                                << QRect(1500, 1200, 9000, 7500);
        QTest::newRow("no size: the screen's")
            << QStringLiteral(" 300, 150, 0, 0") << QRect(300, 150, 0, 0);
    }
    void windowRectangleIsRestored()
    {
        QFETCH(QString, startup);
        QFETCH(QRect, twips);
        m_main.reset();
        Config::writeSetting(Config::PreferencesSection, Config::StartupKey, startup);
        App::MainWindow window(*m_mail);
        const Ui::TwipsScale scale(&window);
        const QSize screen = window.screen()->geometry().size();
        QCOMPARE(window.pos(), QPoint(scale.px(twips.left()), scale.px(twips.top())));
        QCOMPARE(window.width(), twips.width() ? scale.px(twips.width()) : screen.width());
        QCOMPARE(window.height(), twips.height() ? scale.px(twips.height()) : screen.height());
        const QString handle = Config::readSetting(Config::PreferencesSection, Config::PokeHWNDKey);
        QVERIFY2(QRegularExpression(QStringLiteral("^ [1-9][0-9]*$")).match(handle).hasMatch(),
                 qPrintable(handle));
    }

    void withoutAStoredRectangleTheWindowIsCentred()
    {
        const QRect screen = m_main->screen()->geometry();
        const QRect frame = m_main->frameGeometry();
        // The window frame is only known once the window is shown.
        const int frameMargin = frame.width() - m_main->width();
        QVERIFY(qAbs((screen.width() - frame.width()) / 2 - frame.left()) <= frameMargin);
        QVERIFY(qAbs((screen.height() - frame.height()) / 3 - frame.top()) <= frameMargin);
    }

    // Closing ends the program's run (ShutDown runs once per process): last.
    void closingStoresTheRectangleAndClearsTheHandOff()
    {
        m_main->setGeometry(QRect(QPoint(90, 60), QSize(600, 450)));
        m_main->move(90, 60);
        QSignalSpy unloaded(m_main.get(), &App::MainWindow::unloaded);
        m_main->close();
        QCOMPARE(unloaded.size(), 1);
        const Ui::TwipsScale scale(m_main.get());
        const QStringList expected = {Config::numberText(scale.twips(90)),
                                      Config::numberText(scale.twips(60)),
                                      Config::numberText(scale.twips(m_main->width())),
                                      Config::numberText(scale.twips(m_main->height()))};
        QCOMPARE(Config::readSetting(Config::PreferencesSection, Config::StartupKey),
                 expected.join(u','));
        QCOMPARE(Config::readSetting(Config::PreferencesSection, Config::PokeHWNDKey),
                 QStringLiteral("0"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
