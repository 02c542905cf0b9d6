// SPDX-License-Identifier: GPL-3.0-or-later
// telvora-bench --startup [--messages N] [--runs R]: the program's start-up
// time, from process start until its main window is up with the pending list
// filled, on an empty mailbox and on one with N pending messages, and the
// time of a timer fetch that finds nothing new.
//
// The program runs with TELVORA_EXIT_WHEN_SHOWN=1: it prints "shown MS" (its
// own count from entering main) once the window is shown and painted, then
// ends. The bench also times the whole process from its start to that line.

#include "startup.h"

#include "app/mainwindow.h"
#include "mail/mailsession.h"
#include "mail/pendinglist.h"
#include "mail/postoffice.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Telvora;

namespace {

const QString PhoneClass = QStringLiteral("IPM.KVXTelvora.PhoneMsg");

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

Mail::OutgoingMessage phoneMessage(int n, const Mail::AddressEntry &to)
{
    const QString caller = QStringLiteral("Caller %1").arg(n);
    const QString phone = QStringLiteral("555-%1").arg(n % 10000, 4, 10, QChar(u'0'));
    Mail::OutgoingMessage message;
    message.messageClass = PhoneClass;
    message.subject = QStringLiteral("PHONE: ") + caller + u'\t' + phone;
    message.noteText =
        QStringLiteral("TELVORA\r\n\r\nTO:\t\t%1\r\nDATE:\t\t5/14/97\t2:05 PM\r\n"
                       "NAME:\t\t%2\r\nOF:\t\tAcme\r\nPHONE:\t\t%3\r\n"
                       "ACTION:\t\tPlease Call\r\n\t\t[2]\r\nMESSAGE:\tCall back.\r\n"
                       "[[0|00]]")
            .arg(to.displayName, caller, phone);
    message.recipients = {to};
    return message;
}

QString programPath()
{
    const QString fromEnvironment = qEnvironmentVariable("TELVORA_PROGRAM");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../src/telvora"));
}

struct StartTime
{
    double process = 0;  ///< from starting the process to the "shown" line
    double internal = 0; ///< the program's own count from main
};

/// Starts the program once on the mailbox and times it until its window is up.
StartTime startOnce(const QString &dir, const QString &mailbox)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVORA_POSTOFFICE"), dir);
    env.insert(QStringLiteral("TELVORA_MAILBOX"), mailbox);
    env.insert(QStringLiteral("TELVORA_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(programPath(), {});
    StartTime result;
    QByteArray output;
    while (process.waitForReadyRead(60000)) {
        output += process.readAllStandardOutput();
        const qsizetype at = output.indexOf("shown ");
        if (at >= 0 && output.indexOf('\n', at) > at) {
            result.process = double(timer.nsecsElapsed()) / 1e6;
            result.internal = output.mid(at + 6, output.indexOf('\n', at) - at - 6).toDouble();
            break;
        }
    }
    process.waitForFinished(60000);
    if (result.process == 0) {
        std::fprintf(stderr, "telvora-bench: the program did not report its window: %s\n",
                     process.readAllStandardError().constData());
        std::exit(1);
    }
    return result;
}

void reportStarts(QTextStream &out, const QString &label, const QString &dir,
                  const QString &mailbox, int runs)
{
    std::vector<double> process;
    std::vector<double> internal;
    for (int run = 0; run < runs; ++run) {
        const StartTime time = startOnce(dir, mailbox);
        process.push_back(time.process);
        internal.push_back(time.internal);
    }
    out << label << ": " << QString::number(median(process), 'f', 0)
        << " ms to the window (median of " << runs << ", whole process; "
        << QString::number(median(internal), 'f', 0) << " ms counted from main)\n";
    out.flush();
}

} // namespace

int runStartupBench(int argc, char *argv[])
{
    // The bench needs no display: the program's own windows are drawn off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int total = 10000;
    int runs = 5;
    const QStringList args = QApplication::arguments().mid(2);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--messages") && i + 1 < args.size())
            total = args[++i].toInt();
        else if (args[i] == QStringLiteral("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else {
            std::fputs("usage: telvora-bench --startup [--messages N] [--runs R]\n", stderr);
            return 2;
        }
    }
    if (!QFileInfo(programPath()).isExecutable()) {
        std::fprintf(stderr, "telvora-bench: no program at %s (set TELVORA_PROGRAM)\n",
                     qPrintable(programPath()));
        return 2;
    }

    // Settings, window lists and the post office of this run only.
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/telvora-bench-XXXXXX"));
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = temp.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(name, path.toLocal8Bit());
    }
    const QString dir = temp.filePath(QStringLiteral("postoffice"));
    Mail::PostOffice office = Mail::PostOffice::create(dir);
    const Mail::AddressEntry desk =
        office.addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
    const Mail::AddressEntry jane =
        office.addMailbox(QStringLiteral("jane"), QStringLiteral("Jane Smith"));
    QTextStream out(stdout);
    out << "Program: " << programPath() << "\n";

    reportStarts(out, QStringLiteral("Start, empty mailbox"), dir, QStringLiteral("jane"), runs);

    for (int n = 0; n < total; ++n)
        (void)office.deliver(desk, phoneMessage(n, jane));
    const StartTime first = startOnce(dir, QStringLiteral("jane"));
    out << "Start, " << total << " pending, first start ever (no header cache): "
        << QString::number(first.process, 'f', 0) << " ms to the window ("
        << QString::number(first.internal, 'f', 0) << " ms counted from main)\n";
    reportStarts(out, QStringLiteral("Start, %1 pending").arg(total), dir, QStringLiteral("jane"),
                 runs);

    // A timer fetch on the unchanged mailbox, in this process.
    qputenv("TELVORA_POSTOFFICE", dir.toLocal8Bit());
    qputenv("TELVORA_MAILBOX", "jane");
    std::unique_ptr<Mail::PostOfficeMailSystem> mail = Mail::createDefaultMailSystem();
    {
        App::MainWindow main(*mail);
        if (!Mail::MailLogon(*mail))
            return 1;
        Mail::FetchPendingMessages(main, true, main.ui().lvMsgs, true);
        std::vector<double> fetches;
        QElapsedTimer timer;
        for (int run = 0; run < 21; ++run) {
            timer.start();
            Mail::FetchPendingMessages(main, false, main.ui().lvMsgs);
            fetches.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        out << "Timer fetch, nothing new in " << total << ": "
            << QString::number(median(fetches), 'f', 2) << " ms (median of 21)\n";
        (void)Mail::MailLogoff(*mail);
    }
    return 0;
}
