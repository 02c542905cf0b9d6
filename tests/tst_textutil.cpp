// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/textutil.h"
#include "scriptedprompt.h"

#include <QTest>

using namespace Telvora;

namespace {
const QString Tab = QStringLiteral("\t");
}

class TextUtilTest : public QObject
{
    Q_OBJECT
private slots:
    void getToken_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<int>("startPos");
        QTest::addColumn<QString>("expected");

        const QString rect = QStringLiteral(" 1200, 900, 7200, 5400");
        QTest::newRow("rectangle 1") << rect << 1 << "," << 1 << " 1200";
        QTest::newRow("rectangle 2") << rect << 2 << "," << 1 << " 900";
        QTest::newRow("rectangle 4") << rect << 4 << "," << 1 << " 5400";
        QTest::newRow("rectangle 5 is default") << rect << 5 << "," << 1 << "DEF";
        QTest::newRow("empty token between delimiters") << "a,,b" << 2 << "," << 1 << "";
        QTest::newRow("token after empty one") << "a,,b" << 3 << "," << 1 << "b";
        QTest::newRow("leading delimiter belongs to token 1") << ",b" << 1 << "," << 1 << ",b";
        QTest::newRow("leading delimiter: no token 2") << ",b" << 2 << "," << 1 << "DEF";
        QTest::newRow("one character is default") << "x" << 1 << "," << 1 << "DEF";
        QTest::newRow("one character from position 0") << "x" << 1 << "," << 0 << "x";
        QTest::newRow("empty text") << "" << 1 << "," << 1 << "DEF";
        QTest::newRow("empty delimiter splits at blanks") << "Ann Baker" << 2 << "" << 1 << "Baker";
        QTest::newRow("index 0 means 1") << "Ann Baker" << 0 << " " << 1 << "Ann";
        QTest::newRow("start past the end") << "abc" << 1 << "," << 3 << "DEF";
        QTest::newRow("start inside skips a delimiter there") << "ab,cd" << 1 << "," << 3 << "cd";
        QTest::newRow("date stamp month") << "1996/05/17" << 2 << "/" << 1 << "05";
        QTest::newRow("stamp without time") << "1996/05/17" << 2 << " " << 1 << "DEF";
    }
    void getToken()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, delimiter);
        QFETCH(int, startPos);
        QFETCH(QString, expected);
        QCOMPARE(App::GetToken(text, index, delimiter, startPos, QStringLiteral("DEF")), expected);
    }

    void nextTokenWalksALine()
    {
        const QString line = QStringLiteral("Smith") + Tab + QStringLiteral("555-0142");
        int position = 1;
        QCOMPARE(App::NextToken(position, line, Tab), QStringLiteral("Smith"));
        QCOMPARE(position, 7);
        QCOMPARE(App::NextToken(position, line, Tab), QStringLiteral("555-0142"));
        QCOMPARE(position, 0);

        position = 5;
        QCOMPARE(App::NextToken(position, QString(), Tab), QString());
        QCOMPARE(position, 0);
    }

    void nextTokenReportsABadPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("zero") << 0;
        QTest::newRow("beyond the end plus one") << 12;
    }
    void nextTokenReportsABadPosition()
    {
        QFETCH(int, position);
        Test::ScriptedPrompt prompt;
        QCOMPARE(App::NextToken(position, QStringLiteral("abc\tdef"), Tab), QString());
        QCOMPARE(position, 0);
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown.first().text.startsWith(
            QStringLiteral("Error In String Token Procedure.  ")));
        QCOMPARE(prompt.shown.first().title, App::AppTitle);
    }

    void popTokenConsumesAList()
    {
        QString list = QStringLiteral("Ann Baker; Bob Cole");
        QCOMPARE(App::PopToken(list, QStringLiteral(";")), QStringLiteral("Ann Baker"));
        QCOMPARE(list, QStringLiteral(" Bob Cole"));
        QCOMPARE(App::PopToken(list, QStringLiteral(";")), QStringLiteral(" Bob Cole"));
        QCOMPARE(list, QString());
    }

    void replaceText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("accelerator mark") << "Ple&ase Call"
                                          << "&"
                                          << ""
                                          << "Please Call";
        QTest::newRow("rescans from the start") << "aab"
                                                << "ab"
                                                << "b"
                                                << "b";
        QTest::newRow("empty find") << "abc"
                                    << ""
                                    << "x"
                                    << "abc";
        QTest::newRow("replacement holds find") << "a-b"
                                                << "-"
                                                << "--"
                                                << "a--b";
    }
    void replaceText()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(App::ReplaceText(text, find, replacement), expected);
        QCOMPARE(text, expected);
    }

    void stripLeading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two tabs") << "\t\tAnn"
                                  << "\t"
                                  << "Ann";
        QTest::newRow("nothing to strip") << "Ann\t"
                                          << "\t"
                                          << "Ann\t";
        QTest::newRow("only prefixes") << "\t\t"
                                       << "\t"
                                       << "";
        QTest::newRow("empty prefix") << "\tAnn"
                                      << ""
                                      << "\tAnn";
    }
    void stripLeading()
    {
        QFETCH(QString, text);
        QFETCH(QString, prefix);
        QFETCH(QString, expected);
        QCOMPARE(App::StripLeading(text, prefix), expected);
    }
};

QTEST_GUILESS_MAIN(TextUtilTest)
#include "tst_textutil.moc"
