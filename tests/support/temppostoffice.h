// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/postoffice.h"
#include "tempenvironment.h"

#include <QList>
#include <QString>

#include <memory>
#include <utility>

namespace Telvora::Test {

/// A post office in a fresh temporary environment, holding the given mailboxes
/// (mailbox name, display name). For its lifetime TELVORA_POSTOFFICE names it
/// and TELVORA_MAILBOX names the first mailbox, so a mail system signed on
/// without further ado is that mailbox's.
class TempPostOffice
{
public:
    using Mailbox = std::pair<QString, QString>;

    explicit TempPostOffice(const QList<Mailbox> &mailboxes);
    ~TempPostOffice();
    TempPostOffice(const TempPostOffice &) = delete;
    TempPostOffice &operator=(const TempPostOffice &) = delete;

    [[nodiscard]] const QString &directory() const { return m_directory; }
    [[nodiscard]] TempEnvironment &environment() { return m_environment; }

    /// A mail system signed on to one of the mailboxes; TELVORA_MAILBOX is left
    /// as it was.
    [[nodiscard]] std::unique_ptr<Mail::PostOfficeMailSystem> signOn(const QString &mailbox) const;

private:
    TempEnvironment m_environment;
    QString m_directory;
};

} // namespace Telvora::Test
