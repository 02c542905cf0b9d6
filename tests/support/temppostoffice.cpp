// SPDX-License-Identifier: GPL-3.0-or-later
#include "temppostoffice.h"

namespace Telvora::Test {

TempPostOffice::TempPostOffice(const QList<Mailbox> &mailboxes)
    : m_directory(m_environment.filePath(QStringLiteral("postoffice")))
{
    Mail::PostOffice postOffice = Mail::PostOffice::create(m_directory);
    for (const auto &[mailbox, displayName] : mailboxes)
        postOffice.addMailbox(mailbox, displayName);
    qputenv("TELVORA_POSTOFFICE", m_directory.toLocal8Bit());
    if (!mailboxes.isEmpty())
        qputenv("TELVORA_MAILBOX", mailboxes.first().first.toLocal8Bit());
}

TempPostOffice::~TempPostOffice()
{
    qunsetenv("TELVORA_POSTOFFICE");
    qunsetenv("TELVORA_MAILBOX");
}

std::unique_ptr<Mail::PostOfficeMailSystem> TempPostOffice::signOn(const QString &mailbox) const
{
    const QByteArray previous = qgetenv("TELVORA_MAILBOX");
    qputenv("TELVORA_MAILBOX", mailbox.toLocal8Bit());
    auto mail = std::make_unique<Mail::PostOfficeMailSystem>();
    try {
        mail->SignOn({});
    } catch (...) {
        qputenv("TELVORA_MAILBOX", previous);
        throw;
    }
    qputenv("TELVORA_MAILBOX", previous);
    return mail;
}

} // namespace Telvora::Test
