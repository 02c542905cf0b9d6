// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance hand-off and the window search across running copies,
// with real second processes: this test program itself in a helper role, and
// the real program on a temporary post office.

#include "app/handoff.h"
#include "mail/mailsystem.h"
#include "mail/postoffice.h"
#include "settings/inistore.h"
#include "tempenvironment.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

using namespace Telvora;

namespace {

// The helper role: a copy with a hand-off endpoint and one window titled by
// TST_HANDOFF_CHILD, started minimized. It prints "handle N" once it listens,
// "received TEXT" for every command handed over and "state N" when its window
// changes state; it ends when its standard input is closed.
int runHelperCopy(int argc, char **argv)
{
    QApplication app(argc, argv);
    (void)App::WindowRegistry::start();
    App::HandOffServer server;
    if (!server.listen())
        return 3;
    QObject::connect(&server, &App::HandOffServer::textReceived, [](const QString &text) {
        std::printf("received %s\n", qPrintable(text));
        std::fflush(stdout);
    });

    class StateReporter : public QObject
    {
    public:
        using QObject::QObject;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::WindowStateChange) {
                std::printf("state %d\n", int(static_cast<QWidget *>(watched)->windowState()));
                std::fflush(stdout);
            }
            return false;
        }
    } reporter;
    QWidget window;
    window.setWindowTitle(qEnvironmentVariable("TST_HANDOFF_CHILD"));
    window.showMinimized();
    window.installEventFilter(&reporter);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    std::printf("handle %lld\n", qlonglong(server.handle()));
    std::fflush(stdout);
    return app.exec();
}

/// A helper copy of this test program, ended when the object goes.
class HelperCopy
{
public:
    explicit HelperCopy(const QString &title)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TST_HANDOFF_CHILD"), title);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(), {});
    }
    ~HelperCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished();
        }
    }

    /// Everything the helper printed so far.
    QString output()
    {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output;
    }
    bool printed(const QString &line) { return output().split(u'\n').contains(line); }
    /// The endpoint number it printed, 0 until then.
    qint64 handle()
    {
        for (const QString &line : output().split(u'\n')) {
            if (line.startsWith(QLatin1String("handle ")))
                return line.mid(7).toLongLong();
        }
        return 0;
    }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_output;
};

QString program()
{
    return qEnvironmentVariable("TELVORA_PROGRAM");
}

QString pokeHandle()
{
    return Config::readSetting(Config::PreferencesSection, Config::PokeHWNDKey,
                               QStringLiteral("missing"));
}

} // namespace

class TestHandOff : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<Test::TempEnvironment>();
        // The running copies' window lists of this test only.
        m_runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_runtime->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    }
    void cleanup()
    {
        qunsetenv("XDG_RUNTIME_DIR");
        m_runtime.reset();
        m_env.reset();
    }

    void noHandOffWithoutRunningCopy_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("missing") << QString();
        QTest::newRow("zero") << QStringLiteral("0");
        QTest::newRow("zero with blank") << QStringLiteral(" 0");
        QTest::newRow("not a number") << QStringLiteral("window");
        QTest::newRow("negative") << QStringLiteral("-15");
        // A number no endpoint answers to: a copy that ended without clearing it.
        QTest::newRow("stale") << QStringLiteral(" 1234567");
    }
    void noHandOffWithoutRunningCopy()
    {
        QFETCH(QString, stored);
        if (!stored.isNull())
            Config::writeSetting(Config::PreferencesSection, Config::PokeHWNDKey, stored);
        QVERIFY(!App::PokeMessage(QStringLiteral("0")));
    }

    void handOffReachesRunningCopyUntilItIsGone()
    {
        HelperCopy copy(QStringLiteral("Helper"));
        QTRY_VERIFY_WITH_TIMEOUT(copy.handle() != 0, 30000);
        Config::writeSetting(Config::PreferencesSection, Config::PokeHWNDKey,
                             Config::numberText(long(copy.handle())));

        QVERIFY(App::PokeMessage(QStringLiteral("1 id with blanks and \u00e9")));
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.printed(QStringLiteral("received 1 id with blanks and \u00e9")), 30000);

        copy.process().kill();
        QVERIFY(copy.process().waitForFinished());
        QVERIFY(!App::PokeMessage(QStringLiteral("0")));
    }

    void findsAndShowsWindowOfAnotherCopy()
    {
        HelperCopy copy(QStringLiteral("Telvora Notifier - 3 new"));
        qint64 found = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            (found = App::FindTitledWindow(QStringLiteral("telvora NOTIFIER"))) != 0, 30000);
        QCOMPARE(App::FindTitledWindow(QStringLiteral("Notifier - 3 new and more")), 0);
        QCOMPARE(App::FindTitledWindow(QStringLiteral("Telvora Spooler")), 0);

        QVERIFY(App::ShowAndActivateWindow(found));
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.printed(QStringLiteral("state %1").arg(int(Qt::WindowNoState))), 30000);
        QVERIFY(!App::ShowAndActivateWindow(found + 1));

        // A copy that crashed leaves its list behind; its windows are not found.
        copy.process().kill();
        QVERIFY(copy.process().waitForFinished());
        QCOMPARE(App::FindTitledWindow(QStringLiteral("Telvora Notifier")), 0);
        QVERIFY(!App::ShowAndActivateWindow(found));
    }

    void secondProgramHandsMessageToFirst()
    {
        QVERIFY2(!program().isEmpty(), "TELVORA_PROGRAM names the program");
        QTemporaryDir temp;
        const QString dir = temp.filePath(QStringLiteral("postoffice"));
        Mail::PostOffice office = Mail::PostOffice::create(dir);
        const Mail::AddressEntry desk =
            office.addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
        const Mail::AddressEntry jane =
            office.addMailbox(QStringLiteral("jane"), QStringLiteral("Jane Smith"));
        Mail::OutgoingMessage message;
        message.messageClass = QStringLiteral("IPM.KVXTelvora.PhoneMsg");
        message.subject = QStringLiteral("PHONE: Ann Baker\t555-0100");
        message.noteText = QStringLiteral(
            "TELVORA\r\n\r\nTO:\t\tJane Smith\r\nDATE:\t\t5/14/97\t2:05 PM\r\nNAME:\t\tAnn "
            "Baker\r\n"
            "OF:\t\tAcme\r\nPHONE:\t\t555-0100\r\nACTION:\t\tPlease Call\r\n\t\t[2]\r\n"
            "MESSAGE:\tAbout the invoice.\r\n[[0|00]]");
        message.recipients = {jane};
        const QStringList ids = office.deliver(desk, message);
        QCOMPARE(ids.size(), 1);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TELVORA_POSTOFFICE"), dir);
        env.insert(QStringLiteral("TELVORA_MAILBOX"), QStringLiteral("jane"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess first;
        first.setProcessEnvironment(env);
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(program(), {});
        QTRY_VERIFY_WITH_TIMEOUT(pokeHandle().trimmed().toLongLong() > 0 ||
                                     first.state() == QProcess::NotRunning,
                                 60000);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.setProcessEnvironment(env);
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(program(), {QStringLiteral("1") + ids.first()});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        // The first copy opened the message: the store marks it read.
        const QString cur = office.maildirPath(QStringLiteral("jane")) + QStringLiteral("/cur");
        const auto seen = [&] {
            QDirIterator it(cur, QDir::Files);
            while (it.hasNext()) {
                const QString name = it.next().section(u'/', -1);
                if (name.startsWith(ids.first()) &&
                    name.section(QStringLiteral(":2,"), 1).contains(u'S'))
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(seen(), 60000);

        // Ending the first copy as the session would: it shuts down cleanly.
        first.terminate();
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(pokeHandle(), QStringLiteral("0"));
    }

    void newMessageCommandWithoutPopupEndsAtOnce()
    {
        QVERIFY2(!program().isEmpty(), "TELVORA_PROGRAM names the program");
        Config::writeSetting(Config::PreferencesSection, Config::PopupKey, QStringLiteral("False"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // No post office: a copy that tried to start would stop at the sign-on.
        env.remove(QStringLiteral("TELVORA_POSTOFFICE"));
        env.remove(QStringLiteral("TELVORA_MAILBOX"));
        QProcess copy;
        copy.setProcessEnvironment(env);
        copy.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        copy.start(program(), {QStringLiteral("7abc")});
        QVERIFY(copy.waitForFinished(60000));
        QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.exitCode(), 0);
        // No main window was loaded: it never published a hand-off handle.
        QCOMPARE(pokeHandle(), QStringLiteral("missing"));
        QVERIFY(
            QDir(m_runtime->path() + QStringLiteral("/telvora")).entryList(QDir::Files).isEmpty());
    }

private:
    std::unique_ptr<Test::TempEnvironment> m_env;
    std::unique_ptr<QTemporaryDir> m_runtime;
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("TST_HANDOFF_CHILD"))
        return runHelperCopy(argc, argv);
    QApplication app(argc, argv);
    TestHandOff test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_handoff.moc"
