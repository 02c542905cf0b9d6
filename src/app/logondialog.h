// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailprofile.h"
#include "ui/logondialoglayout.h"

#include <QDialog>

#include <optional>

namespace Telvora::App {

/// The sign-on dialog of the post office mail system: asks for the post office
/// folder and the user's mailbox in it. It can make an empty folder a new post
/// office and create a mailbox (with its display name) in a post office the
/// user can write to. OK is accepted only for an existing mailbox of a post
/// office; every refusal and failure is told through the prompt interface.
class LogonDialog : public QDialog
{
    Q_OBJECT
public:
    /// A dialog filled from the profile in force, if any.
    explicit LogonDialog(const std::optional<Mail::MailProfile> &current,
                         QWidget *parent = nullptr);

    /// The chosen post office (absolute, clean path) and mailbox.
    [[nodiscard]] Mail::MailProfile profile() const;

    [[nodiscard]] Ui::LogonDialogLayout &ui() { return m_ui; }

    void accept() override;

private:
    void browse();
    void refreshFolder();
    void createPostOffice();
    void createMailbox();
    [[nodiscard]] QString postOfficePath() const;
    [[nodiscard]] QString mailboxName() const;

    Ui::LogonDialogLayout m_ui;
};

/// Shows the sign-on dialog modally; the chosen profile, or nothing when the
/// user cancelled. This is the post office mail system's logon handler.
[[nodiscard]] std::optional<Mail::MailProfile>
runLogonDialog(const std::optional<Mail::MailProfile> &current, QWidget *parent);

} // namespace Telvora::App
