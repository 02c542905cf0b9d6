// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of start-up and help: the sign-on dialog on a real post office,
// the splash window, the about box and the help window.

#include "app/about.h"
#include "app/helpwindow.h"
#include "app/logondialog.h"
#include "app/splash.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace Telvora;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void logonPicksMailboxOfPostOffice()
    {
        QTemporaryDir temp;
        const QString dir = temp.filePath(QStringLiteral("office"));
        Mail::PostOffice office = Mail::PostOffice::create(dir);
        (void)office.addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
        (void)office.addMailbox(QStringLiteral("jane"), QStringLiteral("Jane Smith"));

        Test::ScriptedPrompt prompt;
        App::LogonDialog dialog(std::nullopt);
        Ui::LogonDialogLayout &ui = dialog.ui();
        QVERIFY(!ui.cmdCreateMailbox->isEnabled());
        ui.txtPostOffice->setText(dir + QStringLiteral("/./"));
        QCOMPARE(ui.cboMailbox->count(), 2);
        QCOMPARE(ui.cboMailbox->itemText(1), QStringLiteral("jane"));
        QVERIFY(!ui.cmdCreatePostOffice->isEnabled());

        // A mailbox that does not exist is refused with a box; the dialog stays.
        ui.cboMailbox->setEditText(QStringLiteral("nobody"));
        QVERIFY(ui.cmdCreateMailbox->isEnabled());
        dialog.show();
        QTest::mouseClick(ui.cmdOK, Qt::LeftButton);
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.contains(QStringLiteral("\"nobody\"")));
        QVERIFY(dialog.isVisible());

        ui.cboMailbox->setCurrentIndex(1);
        QVERIFY(!ui.cmdCreateMailbox->isEnabled());
        QTest::mouseClick(ui.cmdOK, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.profile(),
                 (Mail::MailProfile{QDir::cleanPath(dir), QStringLiteral("jane")}));
    }

    void logonCreatesPostOfficeAndMailbox()
    {
        QTemporaryDir temp;
        const QString dir = temp.filePath(QStringLiteral("new office"));
        QVERIFY(QDir().mkpath(dir));
        Test::ScriptedPrompt prompt;
        App::LogonDialog dialog(Mail::MailProfile{dir, QStringLiteral("ann")});
        Ui::LogonDialogLayout &ui = dialog.ui();
        QVERIFY(ui.cmdCreatePostOffice->isEnabled());
        QVERIFY(!ui.cmdCreateMailbox->isEnabled());
        QTest::mouseClick(ui.cmdCreatePostOffice, Qt::LeftButton);
        QVERIFY(Mail::PostOffice::isPostOffice(dir));
        QVERIFY(!ui.cmdCreatePostOffice->isEnabled());
        QCOMPARE(ui.cboMailbox->currentText(), QStringLiteral("ann"));

        ui.txtDisplayName->setText(QStringLiteral("Ann Baker"));
        QVERIFY(ui.cmdCreateMailbox->isEnabled());
        QTest::mouseClick(ui.cmdCreateMailbox, Qt::LeftButton);
        QVERIFY(prompt.shown.isEmpty());
        const auto entry = Mail::PostOffice(dir).findMailbox(QStringLiteral("ann"));
        QVERIFY(entry);
        QCOMPARE(entry->displayName, QStringLiteral("Ann Baker"));

        // A second mailbox with a display name already taken is refused.
        ui.cboMailbox->setEditText(QStringLiteral("ann2"));
        QTest::mouseClick(ui.cmdCreateMailbox, Qt::LeftButton);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].title, QStringLiteral("Create Mailbox"));
        QVERIFY(!Mail::PostOffice(dir).findMailbox(QStringLiteral("ann2")));
    }

    void logonRefusesFolderThatIsNoPostOffice()
    {
        QTemporaryDir temp;
        QFile file(temp.filePath(QStringLiteral("notes.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        Test::ScriptedPrompt prompt;
        App::LogonDialog dialog(Mail::MailProfile{temp.path(), QStringLiteral("ann")});
        QVERIFY(!dialog.ui().cmdCreatePostOffice->isEnabled());
        dialog.show();
        QTest::mouseClick(dialog.ui().cmdOK, Qt::LeftButton);
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.contains(QStringLiteral("is not a post office")));
        QVERIFY(dialog.isVisible());
    }

    void logonCancelReturnsNothing()
    {
        QTimer::singleShot(0, [] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<App::LogonDialog *>(window))
                    QTest::mouseClick(dialog->ui().cmdCancel, Qt::LeftButton);
            }
        });
        QVERIFY(!App::runLogonDialog(std::nullopt, nullptr));
    }

    void splashAndAboutShowVersionInformation()
    {
        App::SplashWindow splash;
        QCOMPARE(splash.ui().lblVersion->text(), QStringLiteral("Version  4.0"));
        QCOMPARE(splash.ui().lblProductName->text(), QStringLiteral("MAPI Telvora"));
        QVERIFY(!splash.ui().lblCopyright->text().isEmpty());

        QWidget main;
        const Ui::TwipsScale scale(&main);
        for (const QPoint &where : {QPoint(10, 20), QPoint(300, 150)}) {
            main.move(where);
            App::AboutBox about(&main);
            QCOMPARE(about.windowTitle(), QStringLiteral("MAPI Telvora"));
            QCOMPARE(about.ui().Label1[1]->text(), QStringLiteral("Version  4.0.52"));
            QCOMPARE(about.pos() - main.frameGeometry().topLeft(),
                     QPoint(scale.px(1200), scale.px(1200)));
        }
    }

    void aboutClosesWithEnterAndEscape_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void aboutClosesWithEnterAndEscape()
    {
        QFETCH(int, key);
        App::AboutBox about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
    }

    void helpOpensOneWindowAtContextPages()
    {
        App::HelpWindow::showIndex();
        App::HelpWindow *help = App::HelpWindow::instance();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Contents")));

        App::HelpWindow::showContext(App::HelpWindow::PreferencesContext);
        QCOMPARE(App::HelpWindow::instance(), help);
        QCOMPARE(help->browser()->source().toString(),
                 QStringLiteral("qrc:/telvora/help/preferences.html"));
        QVERIFY(help->browser()->toPlainText().contains(
            QStringLiteral("Check for new messages every")));
        // Every page of the index exists and has text.
        for (int context : {10, 11, 12, 21, 22, 23, 24, 999}) {
            App::HelpWindow::showContext(context);
            QVERIFY2(help->browser()->toPlainText().size() > 100,
                     qPrintable(QString::number(context)));
        }
        QCOMPARE(App::HelpWindow::pageForContext(999),
                 QStringLiteral("qrc:/telvora/help/index.html"));

        App::HelpWindow::closeHelp();
        QVERIFY(!App::HelpWindow::instance());
        App::HelpWindow::closeHelp();
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
