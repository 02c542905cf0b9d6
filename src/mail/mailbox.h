// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/phonemessage.h"

namespace Telvora::Mail {

class MessageSet;

/// The operations on the user's fetched phone messages that find a message by
/// its identifier, walking the set from the first message, and show their own
/// failures in a message box.
class MailboxOperations final : public App::MessageStore
{
public:
    explicit MailboxOperations(MessageSet &phoneMessages)
        : m_messages(phoneMessages)
    {}

    /// The note text of the first message with the identifier; "" when there is
    /// none or it cannot be read (then after the "Error Getting Message Text" box).
    [[nodiscard]] QString GetNoteText(const QString &id) override;

    /// Deletes the first message with the identifier. False without a box when
    /// there is none; false after the "Error Deleting Message" box on failure.
    [[nodiscard]] bool DeleteMailMessage(const QString &id) override;

    /// Stores the message back with a new subject and text, replacing the stored
    /// one. False after a box when the message is gone or cannot be saved.
    [[nodiscard]] bool UpdateMailMessage(const QString &id, const QString &subject,
                                         const QString &noteText) override;

private:
    /// Makes the first message with the identifier current; false when none has it.
    [[nodiscard]] bool select(const QString &id);

    MessageSet &m_messages;
};

} // namespace Telvora::Mail
