// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dataoptionsdialog.h"
#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "mail/postoffice.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Telvora;

namespace {

const QString CallerMissing =
    QStringLiteral("The Caller Database Could Not Be Found.  Should A New Database Be Created?");
const QString LogMissing = QStringLiteral(
    "The Message Log Database Could Not Be Found.  Should A New Database Be Created?");

/// Answers every file dialog from a script and records what it was asked.
class ScriptedFileChooser
{
public:
    ScriptedFileChooser()
        : m_previous(App::installFileChooser(
              [this](QWidget *, const App::FileDialogRequest &request) -> std::optional<QString> {
                  requests.append(request);
                  if (throwNext)
                      throw std::runtime_error("no dialog");
                  return answer;
              }))
    {}
    ~ScriptedFileChooser() { App::installFileChooser(m_previous); }

    std::optional<QString> answer;
    bool throwNext = false;
    QList<App::FileDialogRequest> requests;

private:
    App::FileChooser m_previous;
};

} // namespace

/// The data options dialog over a real main window; the database files live in
/// the temporary environment's directory.
class DataOptionsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_mail;
    std::unique_ptr<App::MainWindow> m_main;
    std::unique_ptr<Test::ScriptedPrompt> m_prompt;

    QString file(const char *name) const
    {
        return m_postOffice->environment().filePath(QString::fromLatin1(name));
    }

    static Config::Settings &settings() { return Config::settings(); }

    /// Creates an empty caller file at path, leaving it closed.
    static void makeCallerFile(const QString &path)
    {
        const QString previous = settings().CallerMDB();
        settings().setCallerMDB(path);
        QVERIFY(Data::databases().CreateCallerDatabase());
        settings().setCallerMDB(previous);
    }

    /// Fills the dialog's boxes, presses OK and returns the dialog's result.
    int pressOk(bool callerOn, const QString &callerPath, bool logOn, const QString &logPath)
    {
        App::DataOptionsDialog dialog(*m_main);
        dialog.ui().chDataEnabled->setChecked(callerOn);
        dialog.ui().txtDirectory->setText(callerPath);
        dialog.ui().chkMessageLogEnabled->setChecked(logOn);
        dialog.ui().txtLogFile->setText(logPath);
        dialog.ui().cmdOK->click();
        return dialog.result();
    }

private slots:
    void init()
    {
        m_postOffice = std::make_unique<Test::TempPostOffice>(
            QList<Test::TempPostOffice::Mailbox>{{"ann", "Ann Baker"}});
        m_mail = m_postOffice->signOn(QStringLiteral("ann"));
        App::globals() = App::Globals{};
        m_prompt = std::make_unique<Test::ScriptedPrompt>();
        m_main = std::make_unique<App::MainWindow>(*m_mail);
        m_main->move(100, 100);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup()
    {
        Data::databases().reset();
        m_main.reset();
        m_prompt.reset();
        m_mail.reset();
        m_postOffice.reset();
    }

    void loadingShowsTheSettingsAndCancelKeepsThem()
    {
        settings().setCallerEnabled(true);
        settings().setCallerMDB(file("callers.mdb"));
        settings().setMessageLogEnabled(false);
        settings().setMessageLog(file("log.mdb"));

        App::DataOptionsDialog dialog(*m_main);
        Ui::DataOptionsDialogLayout &ui = dialog.ui();
        QCOMPARE(ui.lblPrompt->text(),
                 QStringLiteral("Caller Search uses type-ahead searching on a database of "
                                "previous callers to auto-fill the name, company and phone "
                                "number. "));
        QVERIFY(ui.chDataEnabled->isChecked());
        QCOMPARE(ui.txtDirectory->text(), file("callers.mdb"));
        QVERIFY(!ui.chkMessageLogEnabled->isChecked());
        QCOMPARE(ui.txtLogFile->text(), file("log.mdb"));

        // The logging page takes the caller page's place.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(ui.picTabFrames[0]->isVisible());
        QVERIFY(!ui.picTabFrames[1]->isVisible());
        ui.TabStrip1->setCurrentIndex(1);
        QVERIFY(!ui.picTabFrames[0]->isVisible());
        QVERIFY(ui.picTabFrames[1]->isVisible());
        QCOMPARE(ui.picTabFrames[1]->geometry(), ui.picTabFrames[0]->geometry());
        ui.TabStrip1->setCurrentIndex(0);
        QVERIFY(ui.picTabFrames[0]->isVisible());
        QVERIFY(!ui.picTabFrames[1]->isVisible());

        // 500 twips right of and 600 twips below the main window at 15 twips a pixel.
        const QPoint offset = dialog.pos() - m_main->pos();
        QVERIFY(offset.x() > 0 && offset.y() > offset.x());

        ui.chDataEnabled->setChecked(false);
        ui.txtDirectory->setText(file("other.mdb"));
        ui.chkMessageLogEnabled->setChecked(true);
        ui.cmdCancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(settings().CallerEnabled());
        QCOMPARE(settings().CallerMDB(), file("callers.mdb"));
        QVERIFY(!settings().MessageLogEnabled());
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void browseFillsThePathBox()
    {
        ScriptedFileChooser chooser;
        App::DataOptionsDialog dialog(*m_main);
        Ui::DataOptionsDialogLayout &ui = dialog.ui();
        ui.txtDirectory->setText(file("callers.mdb"));
        ui.txtLogFile->setText(file("log.mdb"));

        chooser.answer = QStringLiteral("  ") + file("picked.mdb") + QStringLiteral(" ");
        ui.cmdBrowse->click();
        QCOMPARE(ui.txtDirectory->text(), file("picked.mdb"));
        QCOMPARE(chooser.requests.size(), 1);
        const App::FileDialogRequest caller = chooser.requests.constLast();
        QCOMPARE(caller.initialFile, file("callers.mdb"));
        QCOMPARE(caller.title, QStringLiteral("Select Caller Search Database (TELVORA.MDB)"));
        QCOMPARE(caller.filter, QStringLiteral("Caller Search(*.mdb)|*.mdb"));
        QCOMPARE(caller.defaultSuffix, QStringLiteral("mdb"));

        ui.cmdBrowseLog->click();
        QCOMPARE(ui.txtLogFile->text(), file("picked.mdb"));
        const App::FileDialogRequest log = chooser.requests.constLast();
        QCOMPARE(log.initialFile, file("log.mdb"));
        QCOMPARE(log.title, QStringLiteral("Select Message Log Database (MSGLOG.MDB)"));
        QCOMPARE(log.filter, QStringLiteral("Message Log (*.mdb)|*.mdb"));

        // Cancel, a blank answer and a failing dialog all leave the box alone.
        chooser.answer.reset();
        ui.cmdBrowse->click();
        chooser.answer = QStringLiteral("   ");
        ui.cmdBrowse->click();
        chooser.throwNext = true;
        ui.cmdBrowse->click();
        QCOMPARE(ui.txtDirectory->text(), file("picked.mdb"));
        QCOMPARE(chooser.requests.size(), 5);
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void callerPage_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("enabledAfter");
        QTest::addColumn<QString>("storedAfter");
        QTest::addColumn<bool>("openAfter");

        const int none = 0;
        const int yes = int(App::PromptAnswer::Yes);
        const int no = int(App::PromptAnswer::No);
        QTest::newRow("an empty path switches caller search off")
            << true << QString() << false << none << true << false << QString() << false;
        QTest::newRow("a new existing file is stored and opened")
            << true << "new.mdb" << true << none << true << true << "new.mdb" << true;
        QTest::newRow("a missing file, Yes: created and opened")
            << true << "new.mdb" << false << yes << true << true << "new.mdb" << true;
        QTest::newRow("a missing file, No: caller search off")
            << true << "new.mdb" << false << no << false << false << "new.mdb" << false;
        QTest::newRow("unchecked: the new path is still stored, nothing opened")
            << false << "new.mdb" << false << none << true << false << "new.mdb" << false;
        QTest::newRow("another file that differs only in letter case is another file")
            << true << "CALLERS.mdb" << true << none << true << true << "CALLERS.mdb" << true;
    }

    void callerPage()
    {
        QFETCH(bool, checked);
        QFETCH(QString, path);
        QFETCH(bool, fileExists);
        QFETCH(int, answer);
        QFETCH(bool, accepted);
        QFETCH(bool, enabledAfter);
        QFETCH(QString, storedAfter);
        QFETCH(bool, openAfter);

        const auto inDir = [this](const QString &name) {
            return name.isEmpty() ? name : file(name.toLatin1().constData());
        };
        makeCallerFile(file("callers.mdb"));
        settings().setCallerEnabled(false);
        settings().setCallerMDB(file("callers.mdb"));
        settings().setMessageLogEnabled(false);
        if (fileExists)
            makeCallerFile(inDir(path));
        if (answer != 0)
            m_prompt->answer(App::PromptAnswer(answer));

        QCOMPARE(pressOk(checked, inDir(path), false, QString()),
                 int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(settings().CallerEnabled(), enabledAfter);
        QCOMPARE(settings().CallerMDB(), inDir(storedAfter));
        QCOMPARE(Data::databases().CallerOpen(), openAfter);
        QCOMPARE(App::globals().CallerOpen, openAfter);
        QCOMPARE(QFile::exists(inDir(path)), fileExists || answer == int(App::PromptAnswer::Yes));
        if (answer != 0) {
            QCOMPARE(m_prompt->shown.size(), 1);
            const App::MessageBoxRequest box = m_prompt->shown.constFirst();
            QCOMPARE(box.text, CallerMissing);
            QCOMPARE(box.title, QStringLiteral("Data Access Error"));
            QCOMPARE(box.buttons, App::PromptButtons::YesNo);
            QCOMPARE(box.icon, App::PromptIcon::Question);
        } else {
            QVERIFY(m_prompt->shown.isEmpty());
        }
    }

    void anotherNameOfTheOpenFileDoesNotReopenIt()
    {
        makeCallerFile(file("callers.mdb"));
        settings().setCallerEnabled(true);
        settings().setCallerMDB(file("callers.mdb"));
        settings().setMessageLogEnabled(false);
        Data::databases().OpenCallerDatabase();
        QVERIFY(Data::databases().CallerOpen());
        const Data::Database *open = Data::databases().CallerDb.get();

        const QString sameFile =
            m_postOffice->environment().path() + QStringLiteral("/./callers.mdb");
        QCOMPARE(pressOk(true, sameFile, false, QString()), int(QDialog::Accepted));
        QCOMPARE(settings().CallerMDB(), file("callers.mdb"));
        QCOMPARE(Data::databases().CallerDb.get(), open);
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void missingLogDeclinedSwitchesBothOff()
    {
        makeCallerFile(file("callers.mdb"));
        settings().setCallerEnabled(true);
        settings().setCallerMDB(file("callers.mdb"));
        settings().setMessageLogEnabled(true);
        settings().setMessageLog(file("old.mdb"));
        m_prompt->answer(App::PromptAnswer::No);

        App::DataOptionsDialog dialog(*m_main);
        dialog.ui().txtLogFile->setText(file("missing.mdb"));
        dialog.ui().cmdOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.ui().chDataEnabled->isChecked());
        QVERIFY(!settings().MessageLogEnabled());
        QVERIFY(!settings().CallerEnabled());
        QCOMPARE(settings().MessageLog(), file("old.mdb"));
        QVERIFY(!QFile::exists(file("missing.mdb")));
        QCOMPARE(m_prompt->shown.size(), 1);
        const App::MessageBoxRequest box = m_prompt->shown.constFirst();
        QCOMPARE(box.text, LogMissing);
        QCOMPARE(box.title, QStringLiteral("Data Access Error"));
        QCOMPARE(box.buttons, App::PromptButtons::YesNo);
        QCOMPARE(box.icon, App::PromptIcon::Question);
    }

    void newLogIsCreatedOpenedAndListed()
    {
        // The message log view shows the old log's one record.
        const QString oldLog = file("old.mdb");
        QVERIFY(Data::databases().CreateLogDatabase(oldLog));
        settings().setCallerEnabled(false);
        settings().setMessageLogEnabled(true);
        settings().setMessageLog(oldLog);
        m_main->ui().tbMsg[1]->setText(QStringLiteral("1/2/2024"));
        m_main->ui().tbMsg[2]->setText(QStringLiteral("9:05 AM"));
        m_main->ui().tbMsg[4]->setText(QStringLiteral("Pat Caller"));
        QVERIFY(Data::LogMessage(*m_main) > 0);
        m_main->ui().tabMessages->setCurrentIndex(2);
        QListView *list = m_main->ui().dblstMessages;
        QCOMPARE(list->model()->rowCount(), 1);

        m_prompt->answer(App::PromptAnswer::Yes);
        QCOMPARE(pressOk(false, QString(), true, file("new.mdb")), int(QDialog::Accepted));
        QVERIFY(settings().MessageLogEnabled());
        QCOMPARE(settings().MessageLog(), file("new.mdb"));
        QVERIFY(QFile::exists(file("new.mdb")));
        QVERIFY(Data::databases().LogTableOpen);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(m_prompt->shown.size(), 1);
        QCOMPARE(m_prompt->shown.constFirst().text, LogMissing);
    }

    void logPathOnlyCountsWhileLoggingIsOn_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("enabledAfter");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("unchecked keeps the old path") << false << "other.mdb" << false << "old.mdb";
        QTest::newRow("checked with an empty path stays off") << true << "" << false << "old.mdb";
        QTest::newRow("checked with the same path") << true << "old.mdb" << true << "old.mdb";
    }

    void logPathOnlyCountsWhileLoggingIsOn()
    {
        QFETCH(bool, checked);
        QFETCH(QString, path);
        QFETCH(bool, enabledAfter);
        QFETCH(QString, storedAfter);
        QVERIFY(Data::databases().CreateLogDatabase(file("old.mdb")));
        settings().setCallerEnabled(false);
        settings().setMessageLogEnabled(!checked);
        settings().setMessageLog(file("old.mdb"));

        const QString typed = path.isEmpty() ? path : file(path.toLatin1().constData());
        QCOMPARE(pressOk(false, QString(), checked, typed), int(QDialog::Accepted));
        QCOMPARE(settings().MessageLogEnabled(), enabledAfter);
        QCOMPARE(settings().MessageLog(), file(storedAfter.toLatin1().constData()));
        QVERIFY(!QFile::exists(file("other.mdb")));
        QVERIFY(m_prompt->shown.isEmpty());
    }

    void dataOptionsMenuRefreshesTheStatusBar()
    {
        settings().setCallerEnabled(false);
        settings().setMessageLogEnabled(true);
        settings().setMessageLog(file("old.mdb"));
        QVERIFY(Data::databases().CreateLogDatabase(file("old.mdb")));
        m_main->UpdateStatusBar();
        QVERIFY(m_main->ui().mnuTDataOptions->isEnabled());

        // The dialog is modal: untick logging and press OK once it shows.
        QTimer::singleShot(0, this, [] {
            auto *dialog =
                qobject_cast<App::DataOptionsDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->ui().chkMessageLogEnabled->setChecked(false);
            dialog->ui().cmdOK->click();
        });
        m_main->ui().mnuTDataOptions->trigger();
        QVERIFY(!settings().MessageLogEnabled());
        QCOMPARE(m_main->ui().statusPanel(QStringLiteral("Log"))->text(),
                 QStringLiteral("Message Log - OFF"));
    }
};

QTEST_MAIN(DataOptionsTest)
#include "tst_dataoptions.moc"
