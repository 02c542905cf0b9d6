// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/prompt.h"

#include <QInputDialog>
#include <QMessageBox>

namespace Telvora::App {

namespace {

Prompt *g_prompt = nullptr;

QMessageBox::StandardButtons standardButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Retry:
        return PromptAnswer::Retry;
    default:
        return PromptAnswer::Ok;
    }
}

} // namespace

PromptAnswer WidgetPrompt::messageBox(const MessageBoxRequest &request)
{
    QMessageBox box(messageIcon(request.icon), request.title.isEmpty() ? AppTitle : request.title,
                    request.text, standardButtons(request.buttons), m_parent);
    // Closing the box with Escape or the title bar answers Cancel where there
    // is one, otherwise the only button.
    return answerFor(box.exec());
}

std::optional<QString> WidgetPrompt::inputBox(const QString &text, const QString &title,
                                              const QString &defaultText)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(m_parent, title.isEmpty() ? AppTitle : title, text,
                                                 QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return answer;
}

Prompt &prompt()
{
    static WidgetPrompt fallback;
    return g_prompt ? *g_prompt : fallback;
}

Prompt *installPrompt(Prompt *prompt)
{
    return std::exchange(g_prompt, prompt);
}

PromptAnswer showMessage(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &title)
{
    return prompt().messageBox({text, title.isEmpty() ? AppTitle : title, buttons, icon});
}

} // namespace Telvora::App
