// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedprompt.h"

#include <QTest>

using namespace Telvora;

class PromptTest : public QObject
{
    Q_OBJECT
private slots:
    void showMessageGoesThroughTheInstalledPrompt()
    {
        Test::ScriptedPrompt scripted;
        scripted.answer(App::PromptAnswer::Yes);
        const auto answer = App::showMessage(QStringLiteral("Sure?"), App::PromptButtons::YesNo,
                                             App::PromptIcon::Question);
        QCOMPARE(answer, App::PromptAnswer::Yes);
        QCOMPARE(scripted.shown.size(), 1);
        QCOMPARE(scripted.shown.first().title, App::AppTitle);
        QCOMPARE(scripted.shown.first().icon, App::PromptIcon::Question);
    }
};

QTEST_GUILESS_MAIN(PromptTest)
#include "tst_prompt.moc"
