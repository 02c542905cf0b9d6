// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailsystem.h"

#include <QByteArray>
#include <QString>
#include <optional>

/// Reading and writing the mail files of the post office: ordinary RFC 5322 /
/// MIME messages with LF line ends, as Maildir tools expect them. Everything
/// MIME (header encoding, transfer encodings, charsets) is done by libvmime.
namespace Telvora::Mail::Internal {

/// The header fields a fetch lists.
struct MessageHeaders
{
    QString messageClass; ///< the "X-Message-Class" field
    QString subject;
    QString fromName;
    QString fromAddress;
};

/// The name of the header field that carries the message class.
inline constexpr char MessageClassField[] = "X-Message-Class";

/// Registers libvmime's platform handler once per process; safe to call from
/// any thread, any number of times.
void ensureMimeLibrary();

/// A complete message file: Date, Message-ID, MIME-Version, From, To, Subject,
/// X-Message-Class and a text/plain UTF-8 body in base64, so that the note
/// text (CR LF line ends included) reads back byte for byte.
[[nodiscard]] QByteArray composeMessage(const MessageHeaders &headers,
                                        const QList<AddressEntry> &to, const QString &noteText);

/// Reads the listed fields from the start of a message file. `data` holds the
/// first bytes of the file; `complete` tells that it holds the whole file. Returns
/// nothing when the data is not a message of some class (no header block within
/// the data, no class field, a field that cannot be parsed).
[[nodiscard]] std::optional<MessageHeaders> readHeaders(const char *data, qsizetype size,
                                                        bool complete);

/// The text of a complete message file: its text/plain body (the first text part
/// of a multipart message) decoded to Unicode. Throws std::exception when the
/// file cannot be parsed.
[[nodiscard]] QString readNoteText(const QByteArray &message);

/// The complete message file with its subject and body replaced; every other
/// header field stays. Throws std::exception when the file cannot be parsed.
[[nodiscard]] QByteArray replaceContent(const QByteArray &message, const QString &subject,
                                        const QString &noteText);

} // namespace Telvora::Mail::Internal
