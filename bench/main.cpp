// SPDX-License-Identifier: GPL-3.0-or-later
// telvora-bench: fills a temporary post office with phone messages and measures
// delivery and fetching beside the plain file system work they stand on and,
// when neomutt is installed, beside neomutt opening the same Maildir.
//
//   telvora-bench [--messages N] [--keep]
//   telvora-bench --startup [--messages N] [--runs R]   (start-up: bench/startup.cpp)
//   telvora-bench --callers [--count N]                 (caller type-ahead: bench/callers.cpp)
//   telvora-bench --log [--records N] [--messages M]    (message log: bench/messagelog.cpp)
//
// Internal: telvora-bench --fetch DIR MAILBOX runs one fetch in a new process
// and prints "signon_ms fetch_ms count".

#include "callers.h"
#include "messagelogbench.h"
#include "startup.h"

#include "mail/maildir.h"
#include "mail/postoffice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using namespace Telvora;
using namespace Telvora::Mail;

namespace {

const QString PhoneClass = QStringLiteral("IPM.KVXTelvora.PhoneMsg");

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/// A phone message as the program writes it, with varying callers.
OutgoingMessage phoneMessage(int n)
{
    static const char *const first[] = {"Ann",   "Bob", "Carla", "Dieter", "Eve",
                                        "Frank", "Gül", "Hanna", "Ivan",   "José"};
    static const char *const last[] = {"Baker", "Smith", "Özdemir",   "Novak",
                                       "Rossi", "Meyer", "Lindqvist", "Dubois"};
    static const char *const company[] = {"Acme",     "Globex",           "Initech",
                                          "Umbrella", "Stark Industries", ""};
    const QString caller = QStringLiteral("%1 %2").arg(QString::fromUtf8(first[n % 10]),
                                                       QString::fromUtf8(last[(n / 10) % 8]));
    const QString phone = QStringLiteral("555-%1").arg(n % 10000, 4, 10, QChar(u'0'));
    const bool urgent = n % 7 == 0;
    OutgoingMessage message;
    message.messageClass = PhoneClass;
    message.subject = QStringLiteral("PHONE: ") + (urgent ? QStringLiteral("! ") : QString()) +
                      caller + u'\t' + phone;
    message.noteText =
        QStringLiteral(
            "TELVORA\r\n\r\nTO:\t\tJane Smith\r\nDATE:\t\t5/14/97\t2:05 PM\r\nNAME:\t\t%1\r\n"
            "OF:\t\t%2\r\nPHONE:\t\t%3\r\nACTION:\t\tPlease Call\r\n%4\t\t[2%5]\r\n"
            "MESSAGE:\tRe: invoice %6, please call back before five.\r\n[[%6|10]]")
            .arg(caller, QString::fromUtf8(company[n % 6]), phone,
                 urgent ? QStringLiteral("\t\tUrgent\r\n") : QString(),
                 urgent ? QStringLiteral("5") : QString())
            .arg(n);
    return message;
}

/// The floor for a delivery: write, fsync, rename, nothing else; with
/// `syncDirectory`, also the directory fsync that makes the rename durable.
double bareDeliveryRate(const QString &dir, const QByteArray &data, int count, int round,
                        bool syncDirectory = false)
{
    QDir().mkpath(dir + QStringLiteral("/tmp"));
    QDir().mkpath(dir + QStringLiteral("/new"));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const QByteArray name = QByteArray::number(round) + '.' + QByteArray::number(i);
        const QByteArray tmp = dir.toLocal8Bit() + "/tmp/" + name;
        const QByteArray dst = dir.toLocal8Bit() + "/new/" + name;
        const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 || ::write(fd, data.constData(), size_t(data.size())) != data.size() ||
            ::fsync(fd) != 0) {
            std::perror("bare delivery");
            std::exit(1);
        }
        ::close(fd);
        if (::rename(tmp.constData(), dst.constData()) != 0) {
            std::perror("bare rename");
            std::exit(1);
        }
        if (syncDirectory) {
            const int dirFd =
                ::open((dir.toLocal8Bit() + "/new").constData(), O_RDONLY | O_DIRECTORY);
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
    return count / (msSince(timer) / 1000.0);
}

double listDirectory(const QString &dir, int *count)
{
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    DIR *d = ::opendir(dir.toLocal8Bit().constData());
    while (const dirent *e = ::readdir(d))
        n += e->d_name[0] != '.';
    ::closedir(d);
    *count = n;
    return msSince(timer);
}

int fetchInNewProcess(const QString &dir, const QString &mailbox)
{
    QElapsedTimer timer;
    timer.start();
    qputenv("TELVORA_POSTOFFICE", dir.toLocal8Bit());
    qputenv("TELVORA_MAILBOX", mailbox.toLocal8Bit());
    PostOfficeMailSystem system;
    system.SignOn(LogonOptions{false, false, false});
    const double signOn = msSince(timer);
    timer.restart();
    const qsizetype count = system.fetch(PhoneClass).size();
    std::printf("%.2f %.2f %lld\n", signOn, msSince(timer), static_cast<long long>(count));
    return 0;
}

struct ChildFetch
{
    double wallMs = 0;
    double fetchMs = 0;
    qsizetype count = 0;
};

ChildFetch spawnFetch(const QString &dir, const QString &mailbox)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fetch"), dir, mailbox});
    child.waitForFinished(120000);
    ChildFetch result;
    result.wallMs = msSince(timer);
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() == 3) {
        result.fetchMs = parts[1].toDouble();
        result.count = parts[2].toLongLong();
    }
    return result;
}

/// neomutt opening the Maildir read-only and quitting at once, under `script`
/// for the terminal it needs. Returns the wall time or -1.
double neomuttOpen(const QString &maildir, const QString &headerCache, const QString &home)
{
    const QString neomutt = QStandardPaths::findExecutable(QStringLiteral("neomutt"));
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (neomutt.isEmpty() || script.isEmpty())
        return -1;
    QString command =
        QStringLiteral("TERM=xterm %1 -n -R -F /dev/null -e 'set quit=yes'").arg(neomutt);
    if (!headerCache.isEmpty())
        command += QStringLiteral(" -e 'set header_cache=%1'").arg(headerCache);
    command += QStringLiteral(" -e 'push <quit>' -f '%1'").arg(maildir);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(script, {QStringLiteral("-qc"), command, QStringLiteral("/dev/null")});
    if (!process.waitForFinished(15000) || process.exitCode() != 0) {
        std::fprintf(stderr, "neomutt did not finish: %s\n",
                     process.readAll().right(400).constData());
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return msSince(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--startup") == 0)
        return runStartupBench(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--callers") == 0)
        return runCallersBench(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--log") == 0)
        return runMessageLogBench(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QStringLiteral("--fetch"))
        return fetchInNewProcess(args[1], args[2]);
    int total = 10000;
    bool keep = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--messages") && i + 1 < args.size())
            total = args[++i].toInt();
        else if (args[i] == QStringLiteral("--keep"))
            keep = true;
        else {
            std::fputs("usage: telvora-bench [--messages N] [--keep]\n", stderr);
            return 2;
        }
    }

    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/telvora-bench-XXXXXX"));
    temp.setAutoRemove(!keep);
    const QString dir = temp.filePath(QStringLiteral("postoffice"));
    PostOffice office = PostOffice::create(dir);
    const AddressEntry desk =
        office.addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
    const AddressEntry jane =
        office.addMailbox(QStringLiteral("jane"), QStringLiteral("Jane Smith"));
    QTextStream out(stdout);
    out << "Post office: " << dir << (keep ? " (kept)" : "") << "\n";

    // Delivery, in alternating rounds beside the bare loop so that both see the
    // same disk conditions; the bare loop fills one directory as delivery does.
    const int bareCount = total / 2;
    const OutgoingMessage first = phoneMessage(0);
    const QByteArray sample = Internal::composeMessage(
        Internal::MessageHeaders{PhoneClass, first.subject, desk.displayName, desk.address}, {jane},
        first.noteText);
    double deliveryMs = 0;
    std::vector<double> bareRates;
    std::vector<double> bareSyncedRates;
    QElapsedTimer timer;
    const int rounds = 4;
    for (int round = 0; round < rounds; ++round) {
        bareRates.push_back(bareDeliveryRate(temp.filePath(QStringLiteral("bare")), sample,
                                             bareCount / rounds, round));
        bareSyncedRates.push_back(bareDeliveryRate(temp.filePath(QStringLiteral("bare-dirsync")),
                                                   sample, bareCount / rounds, round, true));
        const int from = total * round / rounds;
        const int to = total * (round + 1) / rounds;
        timer.start();
        for (int n = from; n < to; ++n) {
            OutgoingMessage message = phoneMessage(n);
            message.recipients = {jane};
            (void)office.deliver(desk, message);
        }
        deliveryMs += msSince(timer);
    }
    const double deliveryRate = total / (deliveryMs / 1000.0);
    const double bareRate = median(bareRates);
    const double bareSyncedRate = median(bareSyncedRates);
    timer.start();
    for (int n = 0; n < 1000; ++n) {
        const OutgoingMessage message = phoneMessage(n);
        (void)Internal::composeMessage(
            Internal::MessageHeaders{PhoneClass, message.subject, desk.displayName, desk.address},
            {jane}, message.noteText);
    }
    const double composeUs = msSince(timer);

    // Fetching in this process: the first fetch parses every header and writes
    // the header cache; later fetches find the mailbox unchanged.
    qputenv("TELVORA_POSTOFFICE", dir.toLocal8Bit());
    qputenv("TELVORA_MAILBOX", "jane");
    PostOfficeMailSystem system;
    system.SignOn(LogonOptions{false, false, false});
    const QString cacheFile = dir + QStringLiteral("/jane/.telvora-headers");
    QFile::remove(cacheFile);
    timer.start();
    const qsizetype fetched = system.fetch(PhoneClass).size();
    const double firstFetch = msSince(timer);
    // A re-fetch that must list both directories: one message arrived.
    std::vector<double> changedFetch;
    for (int i = 0; i < 5; ++i) {
        OutgoingMessage message = phoneMessage(total + i);
        message.recipients = {jane};
        (void)office.deliver(desk, message);
        timer.start();
        (void)system.fetch(PhoneClass);
        changedFetch.push_back(msSince(timer));
    }
    // Unchanged for longer than the two seconds the directory times need to
    // be trusted, as between two timer fetches.
    QThread::sleep(3);
    std::vector<double> warm;
    for (int i = 0; i < 10; ++i) {
        timer.start();
        (void)system.fetch(PhoneClass);
        warm.push_back(msSince(timer));
    }
    std::vector<double> dropped;
    for (int i = 0; i < 5; ++i) {
        system.dropFetchCache();
        timer.start();
        (void)system.fetch(PhoneClass);
        dropped.push_back(msSince(timer));
    }

    // Fetching in a new process, with and without the header cache file.
    std::vector<double> coldFetch, coldWall, noCacheFetch, noCacheWall;
    for (int i = 0; i < 5; ++i) {
        const ChildFetch child = spawnFetch(dir, QStringLiteral("jane"));
        coldFetch.push_back(child.fetchMs);
        coldWall.push_back(child.wallMs);
        if (child.count != fetched + 5)
            out << "warning: the new process fetched " << child.count << " messages\n";
    }
    for (int i = 0; i < 3; ++i) {
        QFile::remove(cacheFile);
        const ChildFetch child = spawnFetch(dir, QStringLiteral("jane"));
        noCacheFetch.push_back(child.fetchMs);
        noCacheWall.push_back(child.wallMs);
    }

    int names = 0;
    std::vector<double> listing;
    for (int i = 0; i < 5; ++i)
        listing.push_back(listDirectory(dir + QStringLiteral("/jane/new"), &names));

    // neomutt on the same Maildir (read-only, so nothing moves).
    const QString home = temp.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/Mail")); // neomutt asks to create it otherwise
    const QString maildir = dir + QStringLiteral("/jane");
    std::vector<double> muttPlain, muttCached;
    const QString muttCache = temp.filePath(QStringLiteral("mutt-hcache"));
    for (int i = 0; i < 3; ++i)
        muttPlain.push_back(neomuttOpen(maildir, QString(), home));
    (void)neomuttOpen(maildir, muttCache, home); // fills neomutt's header cache
    for (int i = 0; i < 3; ++i)
        muttCached.push_back(neomuttOpen(maildir, muttCache, home));

    auto row = [&out](const QString &what, const QString &value, const QString &note = {}) {
        out << qSetFieldWidth(58) << Qt::left << what << qSetFieldWidth(16) << Qt::right << value
            << qSetFieldWidth(0) << "  " << note << "\n";
    };
    auto ms = [](double v) {
        return v < 0 ? QStringLiteral("n/a") : QString::number(v, 'f', 1) + QStringLiteral(" ms");
    };
    out << "\n"
        << total << " phone messages, " << fetched << " fetched, " << names << " names in new/\n\n";
    row(QStringLiteral("Delivery (compose + tmp/ + fsync + rename + dir fsync)"),
        QString::number(deliveryRate, 'f', 0) + QStringLiteral(" msg/s"));
    row(QStringLiteral("Bare write + fsync + rename loop"),
        QString::number(bareRate, 'f', 0) + QStringLiteral(" msg/s"),
        QStringLiteral("delivery at %1% of it").arg(100.0 * deliveryRate / bareRate, 0, 'f', 0));
    row(QStringLiteral("Bare write + fsync + rename + dir fsync loop"),
        QString::number(bareSyncedRate, 'f', 0) + QStringLiteral(" msg/s"),
        QStringLiteral("delivery at %1% of it")
            .arg(100.0 * deliveryRate / bareSyncedRate, 0, 'f', 0));
    row(QStringLiteral("Composing one message (vmime)"),
        QString::number(composeUs, 'f', 0) + QStringLiteral(" us"));
    row(QStringLiteral("Fetch, first ever (no header cache, parses all)"), ms(firstFetch));
    row(QStringLiteral("Fetch, warm re-fetch of the unchanged mailbox"), ms(median(warm)),
        QStringLiteral("median of 10"));
    row(QStringLiteral("Fetch, warm re-fetch after one new message"), ms(median(changedFetch)),
        QStringLiteral("lists new/ and cur/; median of 5"));
    row(QStringLiteral("Fetch, in-memory state dropped (cache file read)"), ms(median(dropped)),
        QStringLiteral("median of 5"));
    row(QStringLiteral("Fetch, cold new process, header cache file"), ms(median(coldFetch)),
        QStringLiteral("process wall %1; median of 5").arg(ms(median(coldWall))));
    row(QStringLiteral("Fetch, cold new process, no header cache file"), ms(median(noCacheFetch)),
        QStringLiteral("process wall %1; median of 3").arg(ms(median(noCacheWall))));
    row(QStringLiteral("Bare readdir of new/"), ms(median(listing)), QStringLiteral("median of 5"));
    row(QStringLiteral("neomutt -R opens the Maildir and quits, no header cache"),
        ms(median(muttPlain)), QStringLiteral("process wall; median of 3"));
    row(QStringLiteral("neomutt -R opens the Maildir and quits, header cache"),
        ms(median(muttCached)), QStringLiteral("process wall; median of 3"));
    out << "\nCold means a new process; the operating system's page cache stays warm.\n";
    return 0;
}
