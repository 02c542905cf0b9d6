// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/apperror.h"
#include "mail/mailformat.h"

#include <QTest>

using namespace Telvora;
using Mail::ActionBoxes;

namespace {

ActionBoxes boxes(std::initializer_list<int> checked)
{
    ActionBoxes actions{};
    for (int index : checked)
        actions[std::size_t(index)] = true;
    return actions;
}

Mail::SlipText invoiceSlip()
{
    Mail::SlipText slip;
    slip.to = QStringLiteral("Jane Smith");
    slip.date = QStringLiteral("5/14/97");
    slip.time = QStringLiteral("2:05 PM");
    slip.caller = QStringLiteral("Ann Baker");
    slip.company = QStringLiteral("Acme");
    slip.phone = QStringLiteral("555-0142");
    slip.message = QStringLiteral("Re: invoice");
    return slip;
}

} // namespace

Q_DECLARE_METATYPE(Mail::ActionBoxes)

class MailFormatTest : public QObject
{
    Q_OBJECT
private slots:
    void workedExampleByteForByte()
    {
        const QByteArray expected = "TELVORA\r\n"
                                    "\r\n"
                                    "TO:\t\tJane Smith\r\n"
                                    "DATE:\t\t5/14/97\t2:05 PM\r\n"
                                    "NAME:\t\tAnn Baker\r\n"
                                    "OF:\t\tAcme\r\n"
                                    "PHONE:\t\t555-0142\r\n"
                                    "ACTION:\t\tPlease Call\r\n"
                                    "\t\tUrgent\r\n"
                                    "\t\t[25]\r\n"
                                    "MESSAGE:\tRe: invoice\r\n"
                                    "[[15|10]]";
        const QString body = Mail::BuildNoteText(invoiceSlip(), boxes({2, 5}), QStringLiteral("15"),
                                                 Mail::ReceiptFlags(true, QStringLiteral("0")));
        QCOMPARE(body.toUtf8(), expected);
        QCOMPARE(Mail::BuildSubject(QStringLiteral("Ann Baker"), QStringLiteral("555-0142"), true),
                 QStringLiteral("PHONE: ! Ann Baker\t555-0142"));

        const Mail::NoteTextFields read = Mail::ReadNoteText(body);
        Mail::SlipText slip;
        read.applyTo(slip);
        Mail::SlipText sent = invoiceSlip();
        sent.message += QStringLiteral("\r\n"); // the line end before the trailer stays
        QCOMPARE(slip.to, sent.to);
        QCOMPARE(slip.date, sent.date);
        QCOMPARE(slip.time, sent.time);
        QCOMPARE(slip.caller, sent.caller);
        QCOMPARE(slip.company, sent.company);
        QCOMPARE(slip.phone, sent.phone);
        QCOMPARE(slip.message, sent.message);
        QVERIFY(read.actions == boxes({2, 5}));
        QVERIFY(read.hasTrailer);
        QCOMPARE(read.logId, QStringLiteral("15"));
        QVERIFY(read.receiptRequested());
        QCOMPARE(read.receiptState(), QChar(u'0'));
    }

    void actionLines_data()
    {
        QTest::addColumn<ActionBoxes>("actions");
        QTest::addColumn<QString>("lines");
        QTest::newRow("none") << boxes({}) << "ACTION:\t\t[]\r\n";
        QTest::newRow("all ten")
            << boxes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9})
            << "ACTION:\t\tTelephoned\r\n\t\tReturned Call\r\n\t\tPlease Call\r\n"
               "\t\tWill Call Back\r\n\t\tStopped By\r\n\t\tUrgent\r\n\t\tReturned Call\r\n"
               "\t\tLeft Message\r\n\t\tTry Again\r\n\t\tForwarded\r\n\t\t[0123456789]\r\n";
    }
    void actionLines()
    {
        QFETCH(ActionBoxes, actions);
        QFETCH(QString, lines);
        const QString body =
            Mail::BuildNoteText({}, actions, QStringLiteral("0"), QStringLiteral("00"));
        QVERIFY2(body.contains(QStringLiteral("\r\n") + lines + QStringLiteral("MESSAGE:")),
                 qPrintable(body));
        QVERIFY(Mail::ReadNoteText(body).actions == actions);
    }

    void readingRules_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("expected"); // date, time, to, caller, message, logId, flags
        const QString untouched = QStringLiteral("<kept>");
        QTest::newRow("no trailer (another program)")
            << "TO:\t\tJo\r\nDATE:\t\t1/2/03\t4:05 AM\r\nNAME:\t\tX\r\nMESSAGE:\tHello\r\nBye"
            << QStringList{"1/2/03", "4:05 AM", "Jo", "X", "Hello\r\nBye", "", ""};
        QTest::newRow("date line without line end")
            << "NAME:\t\tX\r\nDATE:\t\t1/2/03\t4:05 AM"
            << QStringList{untouched, untouched, untouched, "X", untouched, "", ""};
        QTest::newRow("empty date: time moves into the date")
            << "DATE:\t\t\t2:05 PM\r\nMESSAGE:\t[[0|0]]"
            << QStringList{"2:05 PM", "", untouched, untouched, "", "0", "0]]"};
        QTest::newRow("labels are case-sensitive")
            << "date:\t\t1/2/03\t4:05\r\nname:\t\tX\r\n"
            << QStringList{untouched, untouched, untouched, untouched, untouched, "", ""};
        QTest::newRow("label inside an earlier line")
            << "TO:\t\tSales OF: Acme\r\nNAME:\t\tX\r\nOF:\t\tReal\r\n"
            << QStringList{untouched, untouched, "Sales OF: Acme", "X", untouched, "", ""};
        QTest::newRow("label without a line end gives empty")
            << "NAME:\t\tX" << QStringList{untouched, untouched, untouched, "", untouched, "", ""};
        QTest::newRow("trailer without a bar")
            << "MESSAGE:\tHi\r\n[[15]]"
            << QStringList{untouched, untouched, untouched, untouched, "Hi\r\n", "15]]", ""};
        QTest::newRow("receipt saved back without state")
            << "MESSAGE:\tHi\r\n[[7|0]]"
            << QStringList{untouched, untouched, untouched, untouched, "Hi\r\n", "7", "0]]"};
    }
    void readingRules()
    {
        QFETCH(QString, body);
        QFETCH(QStringList, expected);
        const QString kept = QStringLiteral("<kept>");
        Mail::SlipText slip{kept, kept, kept, kept, kept, kept, kept};
        const Mail::NoteTextFields fields = Mail::ReadNoteText(body);
        fields.applyTo(slip);
        QCOMPARE(QStringList({slip.date, slip.time, slip.to, slip.caller, slip.message,
                              fields.logId, fields.receiptFlags}),
                 expected);
    }

    void messageTextWithLineBreaksRoundTrips()
    {
        Mail::SlipText slip = invoiceSlip();
        slip.message = QStringLiteral("Line one\r\nLine two\r\n\tindented");
        const auto read = Mail::ReadNoteText(
            Mail::BuildNoteText(slip, boxes({0}), QStringLiteral("3"), QStringLiteral("00")));
        QCOMPARE(*read.message, slip.message + QStringLiteral("\r\n"));
        QVERIFY(!read.receiptRequested());
    }

    void actionDigitsSkipOtherCharacters()
    {
        const auto read = Mail::ReadNoteText(QStringLiteral("ACTION:\t\tx\r\n\t\t[1a 9]\r\n"));
        QVERIFY(read.actions == boxes({1, 9}));
        QVERIFY(Mail::ReadNoteText(QStringLiteral("[12]")).actions == boxes({}));
    }

    void subjects_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<bool>("urgent");
        QTest::newRow("plain") << "PHONE: Ann Baker\t555-0142"
                               << "Ann Baker"
                               << "555-0142" << false;
        QTest::newRow("urgent") << "PHONE: ! Ann Baker\t555-0142"
                                << "Ann Baker"
                                << "555-0142" << true;
        QTest::newRow("exactly the prefix") << "PHONE: "
                                            << ""
                                            << "" << false;
        QTest::newRow("name without tab") << "PHONE: Ann"
                                          << "Ann"
                                          << "" << false;
        QTest::newRow("one letter") << "PHONE: A"
                                    << "A"
                                    << "" << false;
        QTest::newRow("no name, only a phone") << "PHONE: \t555"
                                               << ""
                                               << "555" << false;
        QTest::newRow("prefix is not checked") << "XXXXXXXBob\t1"
                                               << "Bob"
                                               << "1" << false;
    }
    void subjects()
    {
        QFETCH(QString, subject);
        QFETCH(QString, caller);
        QFETCH(QString, phone);
        QFETCH(bool, urgent);
        const Mail::SubjectFields fields = Mail::ReadSubject(subject);
        QCOMPARE(fields.caller, caller);
        QCOMPARE(fields.phone, phone);
        QCOMPARE(fields.urgent, urgent);
    }

    void shortSubjectCannotBeRead()
    {
        QVERIFY_THROWS_EXCEPTION(App::AppError, Mail::ReadSubject(QStringLiteral("PHONE")));
    }
};

QTEST_GUILESS_MAIN(MailFormatTest)
#include "tst_mailformat.moc"
