// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace Telvora::App {

/// The application title that every message box without a title of its own shows.
inline const QString AppTitle = QStringLiteral("MAPI Telvora");

enum class PromptButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
    RetryCancel
};
enum class PromptIcon
{
    None,
    Information,
    Question,
    Exclamation,
    Critical
};
/// Numbered as the message box results of the program's original platform,
/// so logs and tests can name them by number too.
enum class PromptAnswer
{
    Ok = 1,
    Cancel = 2,
    Retry = 4,
    Yes = 6,
    No = 7
};

/// What one message box showed; tests read these back from a scripted prompt.
struct MessageBoxRequest
{
    QString text;
    QString title;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
};

/// The one way the program asks the user something or tells them something.
/// Every message box and input box goes through the program-wide instance, so
/// that tests can install a scripted prompt that records and answers them.
class Prompt
{
public:
    virtual ~Prompt() = default;

    /// Shows a modal message box and returns the button the user pressed.
    virtual PromptAnswer messageBox(const MessageBoxRequest &request) = 0;

    /// Shows a modal input box; returns the text entered, or nothing on Cancel.
    virtual std::optional<QString> inputBox(const QString &text, const QString &title,
                                            const QString &defaultText) = 0;
};

/// The program-wide prompt. Until one is installed, a QMessageBox based prompt
/// parented to no window is used.
Prompt &prompt();

/// Installs the program-wide prompt and returns the previous one. The caller
/// keeps the previous one alive and reinstalls it when done (see ScopedPrompt).
Prompt *installPrompt(Prompt *prompt);

/// Convenience for the common box: text, buttons, icon, title (AppTitle when empty).
PromptAnswer showMessage(const QString &text, PromptButtons buttons = PromptButtons::Ok,
                         PromptIcon icon = PromptIcon::None, const QString &title = {});

/// The prompt of the desktop: QMessageBox and QInputDialog over the given parent.
class WidgetPrompt final : public Prompt
{
public:
    explicit WidgetPrompt(QWidget *parent = nullptr)
        : m_parent(parent)
    {}
    void setParent(QWidget *parent) { m_parent = parent; }

    PromptAnswer messageBox(const MessageBoxRequest &request) override;
    std::optional<QString> inputBox(const QString &text, const QString &title,
                                    const QString &defaultText) override;

private:
    QWidget *m_parent;
};

/// Installs a prompt for the lifetime of this guard and restores the previous one.
class ScopedPrompt
{
public:
    explicit ScopedPrompt(Prompt &prompt)
        : m_previous(installPrompt(&prompt))
    {}
    ~ScopedPrompt() { installPrompt(m_previous); }
    ScopedPrompt(const ScopedPrompt &) = delete;
    ScopedPrompt &operator=(const ScopedPrompt &) = delete;

private:
    Prompt *m_previous;
};

} // namespace Telvora::App
