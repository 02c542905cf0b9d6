// SPDX-License-Identifier: GPL-3.0-or-later
// telvora-bench --callers [--count N] [--keystrokes K]: one caller type-ahead
// keystroke (CallerTypeAhead on the slip of a real main window: one seek on the
// name index, one record read, the three boxes filled, the read locks released)
// with N callers stored (default 1,000,000). The caller file is created by the
// program and filled in one transaction of plain SQL before the program opens it.

#include "callers.h"

#include "app/globals.h"
#include "app/mainwindow.h"
#include "data/callersearch.h"
#include "data/databases.h"
#include "mail/postoffice.h"
#include "settings/settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Telvora;

namespace {

const char *const FirstNames[] = {"Ann",   "Bob",  "Carla", "Dieter", "Eve",  "Frank", "Greta",
                                  "Hanna", "Ivan", "Jose",  "Karin",  "Liam", "Mona",  "Nils"};
const char *const LastNames[] = {"Baker", "Smith",  "Ozdemir", "Novak", "Rossi", "Meyer",
                                 "Lind",  "Dubois", "Quinn",   "Young", "Ward",  "Evans"};

QString callerName(int n)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(LastNames[n % 12]), QLatin1String(FirstNames[(n / 12) % 14]))
        .arg(n);
}

bool fill(const QString &path, int count)
{
    bool ok = false;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(QStringLiteral("BEGIN"));
            ok = ok && query.prepare(QStringLiteral("INSERT INTO Caller (Name, Name_nocase, "
                                                    "Company, Phone) VALUES (?, ?, ?, ?)"));
            for (int n = 0; ok && n < count; ++n) {
                const QString name = callerName(n);
                query.bindValue(0, name);
                query.bindValue(1, name.toLower());
                query.bindValue(2, QStringLiteral("Company %1").arg(n % 5000));
                query.bindValue(3, QStringLiteral("555-%1").arg(n % 10000, 4, 10, QChar(u'0')));
                ok = query.exec();
            }
            ok = ok && query.exec(QStringLiteral("COMMIT"));
            if (!ok)
                std::fprintf(stderr, "fill: %s\n", qPrintable(query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * p))];
}

} // namespace

int runCallersBench(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/telvora-bench-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", temp.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", temp.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);

    int count = 1000000;
    int keystrokes = 2000;
    const QStringList args = app.arguments().mid(2);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--count") && i + 1 < args.size())
            count = args[++i].toInt();
        else if (args[i] == QStringLiteral("--keystrokes") && i + 1 < args.size())
            keystrokes = args[++i].toInt();
        else {
            std::fputs("usage: telvora-bench --callers [--count N] [--keystrokes K]\n", stderr);
            return 2;
        }
    }

    const QString postOffice = temp.filePath(QStringLiteral("postoffice"));
    Mail::PostOffice::create(postOffice)
        .addMailbox(QStringLiteral("desk"), QStringLiteral("Front Desk"));
    qputenv("TELVORA_POSTOFFICE", postOffice.toLocal8Bit());
    qputenv("TELVORA_MAILBOX", "desk");
    Mail::PostOfficeMailSystem mail;
    mail.SignOn({});

    const QString path = temp.filePath(QStringLiteral("telvora.mdb"));
    Config::settings().setCallerMDB(path);
    Config::settings().setCallerEnabled(true);
    Data::DatabaseModule &databases = Data::databases();
    if (!databases.CreateCallerDatabase())
        return 1;
    QElapsedTimer timer;
    timer.start();
    if (!fill(path, count))
        return 1;
    const double fillMs = double(timer.nsecsElapsed()) / 1e6;
    databases.OpenCallerDatabase();
    if (!databases.CallerOpen())
        return 1;

    App::MainWindow main(mail);
    QLineEdit *callerBox = main.ui().tbMsg[4];
    // Prefixes as typed: 3 to 8 letters of stored names (a completion), and
    // every fourth one off the names (no completion, boxes cleared).
    QRandomGenerator random(1997);
    std::vector<double> hits, misses;
    for (int k = 0; k < keystrokes; ++k) {
        QString typed = callerName(int(random.bounded(count))).toLower();
        typed.truncate(3 + int(random.bounded(6)));
        const bool miss = k % 4 == 3;
        if (miss)
            typed.append(u'#');
        callerBox->setText(typed);
        timer.restart();
        Data::CallerTypeAhead(main);
        (miss ? misses : hits).push_back(double(timer.nsecsElapsed()) / 1e3);
        const bool completed = callerBox->hasSelectedText() || callerBox->text() != typed;
        if (completed == miss) {
            std::fprintf(stderr, "unexpected result for '%s'\n", qPrintable(typed));
            return 1;
        }
    }

    QTextStream out(stdout);
    out << count << " callers stored (filled in " << QString::number(fillMs / 1000.0, 'f', 1)
        << " s), " << keystrokes << " keystrokes\n";
    out << "Keystroke with completion: median " << QString::number(median(hits), 'f', 1)
        << " us, 99th percentile " << QString::number(percentile(hits, 0.99), 'f', 1) << " us\n";
    out << "Keystroke without match:   median " << QString::number(median(misses), 'f', 1)
        << " us, 99th percentile " << QString::number(percentile(misses, 0.99), 'f', 1) << " us\n";
    out << "Seek plan: " << databases.CallerTable->seekQueryPlan(QStringLiteral(">="), 1) << "\n";
    databases.reset();
    return 0;
}
