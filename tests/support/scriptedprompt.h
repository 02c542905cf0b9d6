// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/prompt.h"

#include <QList>
#include <QQueue>

namespace Telvora::Test {

/// A prompt that records every box it is asked to show and answers from a
/// script. Unscripted message boxes answer Ok (or Cancel where there is no Ok);
/// unscripted input boxes are cancelled. Installs itself for its lifetime.
class ScriptedPrompt final : public App::Prompt
{
public:
    ScriptedPrompt()
        : m_previous(App::installPrompt(this))
    {}
    ~ScriptedPrompt() override { App::installPrompt(m_previous); }

    void answer(App::PromptAnswer answer) { m_answers.enqueue(answer); }
    void answerInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }

    App::PromptAnswer messageBox(const App::MessageBoxRequest &request) override
    {
        shown.append(request);
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        switch (request.buttons) {
        case App::PromptButtons::YesNo:
        case App::PromptButtons::YesNoCancel:
            return App::PromptAnswer::No;
        case App::PromptButtons::RetryCancel:
            return App::PromptAnswer::Cancel;
        default:
            return App::PromptAnswer::Ok;
        }
    }

    std::optional<QString> inputBox(const QString &text, const QString &title,
                                    const QString &defaultText) override
    {
        shown.append({text, title, App::PromptButtons::OkCancel, App::PromptIcon::None});
        Q_UNUSED(defaultText);
        return m_inputs.isEmpty() ? std::nullopt : m_inputs.dequeue();
    }

    /// The boxes shown so far, oldest first.
    QList<App::MessageBoxRequest> shown;

private:
    App::Prompt *m_previous;
    QQueue<App::PromptAnswer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
};

} // namespace Telvora::Test
