// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mailsession.h"

#include "app/apperror.h"
#include "app/prompt.h"
#include "app/waitcursor.h"
#include "mail/mailsystem.h"
#include "settings/settings.h"

namespace Telvora::Mail {

bool MailLogon(MailSystem &mail)
{
    LogonOptions options;
    options.logonUI = true;
    options.downloadMail = Config::settings().ForceDelivery();
    options.newSession = Config::settings().NewSession();

    QString description;
    try {
        // Both message sets work through this one mail system, so they share
        // the session the moment it is open.
        mail.SignOn(options);
        return true;
    } catch (const App::AppError &error) {
        if (error.number() == App::ErrorNumber::MailUserCancel)
            return false;
        description = error.description();
    } catch (const std::exception &error) {
        description = QString::fromLocal8Bit(error.what());
    }
    App::showMessage(QStringLiteral("Error Logging Into Mail.") + description,
                     App::PromptButtons::Ok, App::PromptIcon::Exclamation,
                     QStringLiteral("Mail Error"));
    return false;
}

bool MailLogoff(MailSystem &mail)
{
    try {
        mail.SignOff();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

void ForceMailDelivery(MailSystem &mail)
{
    if (!Config::settings().ForceDelivery())
        return;
    const App::WaitCursor waitCursor;
    try {
        // When the mail system cannot even sign on for the delivery, the caller
        // fetches what is there all the same.
        (void)mail.ForceDelivery();
    } catch (const std::exception &) {
    }
}

} // namespace Telvora::Mail
