// SPDX-License-Identifier: GPL-3.0-or-later
// telvora-bench --log [--records N] [--messages M] [--runs R]: the message log
// on a main window. Fills a temporary log file with N records (1,000,000 by
// default) and times opening the message log view until its first rows are
// painted, opening the receipt view the same way, and logging M slips (10,000
// by default) one after another, as sending does.

#include "messagelogbench.h"

#include "app/mainwindow.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "mail/postoffice.h"
#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
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

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "telvora-bench --log: %s\n", qPrintable(what));
    std::exit(1);
}

/// Writes `count` records straight into the file in one transaction, with the
/// case keys the record sets keep beside the indexed texts. One in a thousand
/// still waits for its receipt.
void fillLog(const QString &path, int count)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        query.prepare(QStringLiteral(
            "INSERT INTO Messages (DateSent, \"To\", To_nocase, Caller, Caller_nocase, Company, "
            "Phone, Note, Action, Sender, ReceiptRequested, ReceiptAcknowledged) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDateTime start(QDate(2015, 1, 1), QTime(8, 0));
        for (int n = 0; n < count; ++n) {
            const QString to = QStringLiteral("Colleague %1").arg(n % 40);
            const QString caller = QStringLiteral("Caller %1").arg(n % 5000);
            query.addBindValue(
                start.addSecs(qint64(n) * 150).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            query.addBindValue(to);
            query.addBindValue(to.toLower());
            query.addBindValue(caller);
            query.addBindValue(caller.toLower());
            query.addBindValue(QStringLiteral("Acme"));
            query.addBindValue(QStringLiteral("555-%1").arg(n % 10000, 4, 10, QChar(u'0')));
            query.addBindValue(QStringLiteral("Please call back about invoice %1.").arg(n));
            query.addBindValue(QStringLiteral("02"));
            query.addBindValue(QStringLiteral("Front Desk"));
            query.addBindValue(n % 10 == 0 ? 1 : 0);
            query.addBindValue(n % 10 == 0 && n % 1000 != 0 ? 1 : 0);
            if (!query.exec())
                fail(query.lastError().text());
        }
        query.exec(QStringLiteral("COMMIT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
}

/// Opens a view on an unbound list and times it until its rows are painted.
double openView(App::MainWindow &main, void (*show)(App::MainWindow &), int *rows)
{
    Data::UnbindLogList(main);
    QListView *list = main.ui().dblstMessages;
    QElapsedTimer timer;
    timer.start();
    show(main);
    list->viewport()->repaint();
    const double ms = msSince(timer);
    *rows = list->model()->rowCount();
    return ms;
}

} // namespace

int runMessageLogBench(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/telvora-bench-log-XXXXXX"));
    // Settings and data of the bench stay in the temporary directory.
    qputenv("XDG_CONFIG_HOME", temp.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", temp.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    int records = 1000000;
    int messages = 10000;
    int runs = 5;
    const QStringList args = QApplication::arguments().mid(2);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--records") && i + 1 < args.size())
            records = args[++i].toInt();
        else if (args[i] == QStringLiteral("--messages") && i + 1 < args.size())
            messages = args[++i].toInt();
        else if (args[i] == QStringLiteral("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else {
            std::fputs("usage: telvora-bench --log [--records N] [--messages M] [--runs R]\n",
                       stderr);
            return 2;
        }
    }
    QTextStream out(stdout);

    const QString logPath = temp.filePath(QStringLiteral("msglog.mdb"));
    Config::settings().setMessageLog(logPath);
    Config::settings().setMessageLogEnabled(true);
    if (!Data::databases().CreateLogDatabase(logPath))
        fail(QStringLiteral("the log file could not be created"));
    QElapsedTimer timer;
    timer.start();
    fillLog(logPath, records);
    out << records << " records written in " << QString::number(msSince(timer) / 1000, 'f', 1)
        << " s (bench set-up)\n";
    out.flush();

    const QString office = temp.filePath(QStringLiteral("postoffice"));
    Mail::PostOffice::create(office).addMailbox(QStringLiteral("desk"),
                                                QStringLiteral("Front Desk"));
    qputenv("TELVORA_POSTOFFICE", office.toLocal8Bit());
    qputenv("TELVORA_MAILBOX", "desk");
    Mail::PostOfficeMailSystem mail;
    mail.SignOn({false, false, false});
    App::MainWindow main(mail);
    main.show();
    main.ui().dblstMessages->show();
    QApplication::processEvents();

    std::vector<double> logView;
    std::vector<double> receiptView;
    int logRows = 0;
    int receiptRows = 0;
    for (int run = 0; run < runs; ++run) {
        logView.push_back(openView(main, Data::ShowMessageLog, &logRows));
        receiptView.push_back(openView(main, Data::ShowReceiptList, &receiptRows));
    }
    out << "Message log view, file opened to first rows painted: "
        << QString::number(median(logView), 'f', 1) << " ms (median of " << runs << "; first "
        << QString::number(logView.front(), 'f', 1) << " ms; " << logRows << " rows read of "
        << records << ")\n";
    out << "Receipt view, file opened to first rows painted: "
        << QString::number(median(receiptView), 'f', 1) << " ms (median of " << runs << "; "
        << receiptRows << " rows read)\n";
    out.flush();
    Data::UnbindLogList(main);

    Ui::MainWindowLayout &ui = main.ui();
    timer.start();
    for (int n = 0; n < messages; ++n) {
        main.ClearMessage();
        ui.tbMsg[1]->setText(QStringLiteral("5/14/24"));
        ui.tbMsg[2]->setText(QStringLiteral("2:05 PM"));
        ui.tbMsg[3]->setText(QStringLiteral("Jane Smith"));
        ui.tbMsg[4]->setText(QStringLiteral("Caller %1").arg(n));
        ui.tbMsg[5]->setText(QStringLiteral("Acme"));
        ui.tbMsg[6]->setText(QStringLiteral("555-0142"));
        ui.tbMsgNote->setPlainText(QStringLiteral("Re: invoice %1").arg(n));
        ui.chMsg[2]->setChecked(true);
        ui.chkReturnReceipt->setChecked(true);
        ui.laBy->setText(QStringLiteral("Front Desk"));
        if (Data::LogMessage(main) <= 0)
            fail(QStringLiteral("a message was not logged"));
    }
    const double logging = msSince(timer);
    out << "Logging " << messages << " messages in a row (slip filled, record added): "
        << QString::number(logging / 1000, 'f', 2) << " s, "
        << QString::number(logging * 1000 / messages, 'f', 0) << " us per message, "
        << QString::number(messages / (logging / 1000), 'f', 0) << " msg/s\n";
    return 0;
}
