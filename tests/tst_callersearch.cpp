// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/callersearch.h"
#include "data/databases.h"
#include "scriptedprompt.h"
#include "settings/settings.h"
#include "temppostoffice.h"

#include <QLineEdit>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTest>

using namespace Telvora;
using namespace Telvora::Data;

namespace {

struct Caller
{
    QString name;
    QVariant company;
    QVariant phone;
};

} // namespace

/// Caller type-ahead and saving on the slip of a real main window, with a
/// caller file holding Smithers, Smythe, Jones (no company) and Adams.
class CallerSearchTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Test::TempPostOffice> m_postOffice;
    std::unique_ptr<Mail::PostOfficeMailSystem> m_mail;
    std::unique_ptr<App::MainWindow> m_main;
    std::unique_ptr<Test::ScriptedPrompt> m_prompt;
    QString m_callerPath;

    QLineEdit *box(int index) { return m_main->ui().tbMsg[index]; }

    /// Runs the search on every change of the caller box, as the window's
    /// change rule does while caller search is on and armed.
    void armTypeAhead()
    {
        connect(box(4), &QLineEdit::textChanged, m_main.get(), [this](const QString &text) {
            if (text.size() > 2)
                CallerTypeAhead(*m_main);
        });
    }

    /// The stored callers in name order, read after closing the module's handles.
    QList<Caller> storedCallers()
    {
        databases().reset();
        const auto database = OpenDatabase(m_callerPath);
        QSqlQueryModel model;
        database->setQuery(model, QStringLiteral("SELECT Name, Company, Phone FROM Caller ORDER "
                                                 "BY Name_nocase"));
        QList<Caller> callers;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QSqlRecord record = model.record(row);
            callers.append({record.value(0).toString(), record.value(1), record.value(2)});
        }
        return callers;
    }

    void typeIntoCallerBox(const QString &keys)
    {
        box(4)->setFocus();
        for (const QChar key : keys) {
            if (key == u'\b')
                QTest::keyClick(box(4), Qt::Key_Backspace);
            else
                QTest::keyClicks(box(4), QString(key));
        }
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
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));

        m_callerPath = m_postOffice->environment().filePath(QStringLiteral("telvora.mdb"));
        Config::settings().setCallerMDB(m_callerPath);
        Config::settings().setCallerEnabled(true);
        QVERIFY(databases().CreateCallerDatabase());
        {
            const auto database = OpenDatabase(m_callerPath);
            const auto callers = database->OpenRecordset(QStringLiteral("Caller"));
            const QList<Caller> stored{
                {QStringLiteral("Smithers"), QStringLiteral("Acme Corp"),
                 QStringLiteral("555-0100")},
                {QStringLiteral("Smythe"), QStringLiteral("Globex"), QStringLiteral("555-0200")},
                {QStringLiteral("Jones"), QVariant(), QStringLiteral("555-0300")},
                {QStringLiteral("Adams"), QStringLiteral("Initech"), QString()},
            };
            for (const Caller &caller : stored) {
                callers->AddNew();
                callers->setValue(QStringLiteral("Name"), caller.name);
                callers->setValue(QStringLiteral("Company"), caller.company);
                callers->setValue(QStringLiteral("Phone"), caller.phone);
                callers->Update();
            }
        }
        databases().OpenCallerDatabase();
        QVERIFY(databases().CallerOpen());
        m_main->ClearMessageText();
        App::globals().CallerChanged = false;
    }

    void cleanup()
    {
        QVERIFY2(m_prompt->shown.isEmpty(),
                 qPrintable(m_prompt->shown.isEmpty() ? QString() : m_prompt->shown.first().text));
        m_main.reset();
        databases().reset();
        m_prompt.reset();
        m_mail.reset();
        m_postOffice.reset();
    }

    void typeAhead_data()
    {
        QTest::addColumn<QString>("company"); // typed into the company box first
        QTest::addColumn<QString>("keys");    // \b is Backspace
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("filledCompany");
        QTest::addColumn<QString>("filledPhone");
        QTest::addColumn<bool>("autoFilled");

        QTest::newRow("two letters do nothing") << ""
                                                << "sm"
                                                << "sm"
                                                << "" << 2 << ""
                                                << "" << false;
        QTest::newRow("third letter completes") << ""
                                                << "smi"
                                                << "Smithers"
                                                << "thers" << 8 << "Acme Corp"
                                                << "555-0100" << true;
        QTest::newRow("typing on keeps the completion") << ""
                                                        << "smith"
                                                        << "Smithers"
                                                        << "ers" << 8 << "Acme Corp"
                                                        << "555-0100" << true;
        QTest::newRow("whole name typed") << ""
                                          << "SMITHERS"
                                          << "Smithers"
                                          << "" << 8 << "Acme Corp"
                                          << "555-0100" << true;
        QTest::newRow("a letter off the names clears the fills") << ""
                                                                 << "smix"
                                                                 << "Smix"
                                                                 << "" << 4 << ""
                                                                 << "" << false;
        // The rule empties the boxes itself; the flag stays raised until a
        // search finds no name, so that search empties them again.
        QTest::newRow("backspace after three letters") << ""
                                                       << "smi\b"
                                                       << "Sm"
                                                       << "" << 2 << ""
                                                       << "" << true;
        QTest::newRow("backspace after four letters completes again") << ""
                                                                      << "smit\b"
                                                                      << "Smithers"
                                                                      << "thers" << 8 << "Acme Corp"
                                                                      << "555-0100" << true;
        QTest::newRow("a later name is no completion") << ""
                                                       << "smo"
                                                       << "smo"
                                                       << "" << 3 << ""
                                                       << "" << false;
        QTest::newRow("empty company gives empty text") << ""
                                                        << "jon"
                                                        << "Jones"
                                                        << "es" << 5 << ""
                                                        << "555-0300" << true;
        QTest::newRow("own typing stays without a fill") << "Typed Co"
                                                         << "zed"
                                                         << "zed"
                                                         << "" << 3 << "Typed Co"
                                                         << "" << false;
        QTest::newRow("own typing goes after a fill") << "Typed Co"
                                                      << "adax"
                                                      << "Adax"
                                                      << "" << 4 << ""
                                                      << "" << false;
    }

    void typeAhead()
    {
        QFETCH(QString, company);
        QFETCH(QString, keys);
        armTypeAhead();
        box(5)->setText(company);
        typeIntoCallerBox(keys);

        QTEST(box(4)->text(), "caller");
        QTEST(box(4)->selectedText(), "selected");
        QTEST(box(4)->cursorPosition(), "cursor");
        QTEST(box(5)->text(), "filledCompany");
        QTEST(box(6)->text(), "filledPhone");
        QTEST(App::globals().CallerAutoFilled, "autoFilled");
    }

    void fillingLowersCallerChanged()
    {
        armTypeAhead();
        box(6)->setText(QStringLiteral("555-9999"));
        QVERIFY(App::globals().CallerChanged);
        typeIntoCallerBox(QStringLiteral("smy"));
        QCOMPARE(box(4)->text(), QStringLiteral("Smythe"));
        QVERIFY(!App::globals().CallerChanged);
        // The user corrects the phone: that is a change to store.
        box(6)->setText(QStringLiteral("555-0201"));
        QVERIFY(App::globals().CallerChanged);
    }

    void searchWithTheFileClosedDoesNothing()
    {
        databases().CloseCallerDatabase();
        box(4)->setText(QStringLiteral("smi"));
        CallerTypeAhead(*m_main);
        QCOMPARE(box(4)->text(), QStringLiteral("smi"));
        SaveCaller(*m_main);
        QCOMPARE(storedCallers().size(), 4);
    }

    void saveStoresNewAndChangedCallers()
    {
        // A new caller, with blanks around the name.
        box(4)->setText(QStringLiteral("  Pat Newman "));
        box(5)->setText(QStringLiteral("Umbrella"));
        box(6)->setText(QString());
        SaveCaller(*m_main);
        // A stored caller typed in another case: company and phone change, the name stays.
        box(4)->setText(QStringLiteral("smithers"));
        box(5)->setText(QStringLiteral("Acme Holdings"));
        box(6)->setText(QStringLiteral("555-0111"));
        SaveCaller(*m_main);
        // A blank name stores nothing.
        box(4)->setText(QStringLiteral("   "));
        SaveCaller(*m_main);

        const QList<Caller> callers = storedCallers();
        QCOMPARE(callers.size(), 5);
        QCOMPARE(callers.at(2).name, QStringLiteral("Pat Newman"));
        QCOMPARE(callers.at(2).company.toString(), QStringLiteral("Umbrella"));
        QCOMPARE(callers.at(2).phone.toString(), QString());
        QCOMPARE(callers.at(3).name, QStringLiteral("Smithers"));
        QCOMPARE(callers.at(3).company.toString(), QStringLiteral("Acme Holdings"));
        QCOMPARE(callers.at(3).phone.toString(), QStringLiteral("555-0111"));
    }

    void overLongValuesAreReportedAndNothingIsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("sentence");

        const QString adding = QStringLiteral("Error Adding Caller to Database.");
        const QString changing = QStringLiteral("Error Saving Changes to Caller.");
        QTest::newRow("new caller, company too long")
            << "Pat Newman" << QString(76, u'c') << "555" << adding;
        QTest::newRow("new caller, name too long") << QString(51, u'n') << "Co"
                                                   << "555" << adding;
        QTest::newRow("stored caller, phone too long")
            << "Smithers"
            << "Fits Inc" << QString(31, u'9') << changing;
    }

    void overLongValuesAreReportedAndNothingIsWritten()
    {
        QFETCH(QString, name);
        QFETCH(QString, company);
        QFETCH(QString, phone);
        QFETCH(QString, sentence);
        const QList<Caller> before = storedCallers();
        databases().OpenCallerDatabase();

        box(4)->setText(name);
        box(5)->setText(company);
        box(6)->setText(phone);
        SaveCaller(*m_main);
        QCOMPARE(m_prompt->shown.size(), 1);
        const App::MessageBoxRequest report = m_prompt->shown.takeFirst();
        QVERIFY2(report.text.startsWith(sentence + QStringLiteral("\r\n")),
                 qPrintable(report.text));
        QVERIFY(report.text.size() > sentence.size() + 2);
        QCOMPARE(report.title, App::AppTitle);
        QCOMPARE(report.icon, App::PromptIcon::None);

        // Nothing was left pending: the next caller is stored on its own.
        box(4)->setText(QStringLiteral("Lee Quinn"));
        box(5)->setText(QStringLiteral("Hooli"));
        box(6)->setText(QStringLiteral("555-0500"));
        SaveCaller(*m_main);
        QList<Caller> after = storedCallers();
        QCOMPARE(after.size(), before.size() + 1);
        QCOMPARE(after.takeAt(2).name, QStringLiteral("Lee Quinn"));
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after.at(i).name, before.at(i).name);
            QCOMPARE(after.at(i).company, before.at(i).company);
            QCOMPARE(after.at(i).phone, before.at(i).phone);
        }
    }
};

QTEST_MAIN(CallerSearchTest)
#include "tst_callersearch.moc"
