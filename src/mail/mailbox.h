// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/phonemessage.h"

#include <QStringList>

namespace Telvora::App {
class MainWindow;
}

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

/// Recipient type of a primary ("To") recipient, the only type the program uses.
inline constexpr int PrimaryRecipient = 1;

/// Sends a phone message to the ";"-separated recipient names (blanks around a
/// name ignored) as a message of the phone message class. True when the mail
/// system took it; false after the "Error Sending Message" box, for instance
/// when a name cannot be resolved; then nobody gets it.
[[nodiscard]] bool SendPhoneMessage(MessageSet &messages, const QString &recipients,
                                    const QString &subject, const QString &noteText);

/// Appends the ";"-separated names to the compose buffer's recipients with the
/// given type, each trimmed and, when `resolve` is set, resolved at once. A list
/// ending in ";" adds no empty name. Throws App::AppError from the mail system
/// (an unresolvable name among them); shows nothing.
void AddRecipients(const QString &recipients, MessageSet &messages, int recipientType,
                   bool resolve);

/// Writes a new subject and note text into the pending message `key` and back
/// into the mail store. An empty note text keeps the message's text. False after
/// the "Error Saving Message" box (or the store's own box) when that failed.
bool SaveMessage(App::Messages &pending, const QString &key, const QString &subject,
                 const QString &noteText);

/// Deletes the message selected in the main window's pending list, after
/// asking when the ConfirmDeletes setting is on, then clears the slip and
/// refills the list. Tells the user when nothing is selected.
void DeleteSelectedMessage(App::MainWindow &main);

/// Shows the address book and puts the chosen names, in order, into `names`
/// (also leaving them as the compose buffer's recipients). False when nothing
/// was chosen or the mail system failed; `names` is then untouched.
[[nodiscard]] bool PickFromAddressBook(MessageSet &messages, QStringList &names);

} // namespace Telvora::Mail
