// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mimemessage.h"

#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/vmime.hpp>

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSysInfo>

#include <atomic>
#include <cstring>
#include <mutex>

namespace Telvora::Mail::Internal {

namespace {

/// A text field value that is always written as RFC 2047 encoded-words. vmime
/// writes plain ASCII raw, where a TAB, a leading or trailing blank or a run of
/// blanks would not survive header folding and unfolding in other mail tools.
class EncodedText : public vmime::text
{
public:
    using vmime::text::text;

protected:
    void generateImpl(const vmime::generationContext &ctx, vmime::utility::outputStream &os,
                      const size_t curLinePos, size_t *newLinePos) const override
    {
        encodeAndFold(ctx, os, curLinePos, newLinePos, FORCE_ENCODING);
    }
};

std::string utf8(const QString &text)
{
    return text.toStdString();
}

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

/// Whether the text would lose something when written as a raw header value.
bool needsEncodedWord(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (text.front() == u' ' || text.back() == u' ')
        return true;
    QChar previous;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
        if (c == u' ' && previous == u' ')
            return true;
        previous = c;
    }
    return false;
}

vmime::shared_ptr<vmime::text> headerText(const QString &text)
{
    // One word holding the whole text: vmime splits a text built from a string
    // into several encoded-words and drops the blanks between them.
    const vmime::word word(utf8(text), vmime::charsets::UTF_8);
    if (needsEncodedWord(text))
        return vmime::make_shared<EncodedText>(word);
    return vmime::make_shared<vmime::text>(word);
}

vmime::shared_ptr<vmime::mailbox> mailbox(const QString &name, const QString &address)
{
    return vmime::make_shared<vmime::mailbox>(
        vmime::text(vmime::word(utf8(name), vmime::charsets::UTF_8)),
        vmime::emailAddress(utf8(address)));
}

void setBody(vmime::message &message, const QString &noteText)
{
    message.getBody()->setContents(
        vmime::make_shared<vmime::stringContentHandler>(utf8(noteText)),
        vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_PLAIN),
        vmime::charsets::UTF_8, vmime::encoding(vmime::encodingTypes::BASE64));
}

/// vmime writes CR LF line ends; a Maildir file has LF. Header values and the
/// base64 body hold no CR of their own, so every CR LF is a line end.
QByteArray toMaildirLineEnds(const std::string &generated)
{
    QByteArray out;
    out.reserve(qsizetype(generated.size()));
    for (size_t i = 0; i < generated.size(); ++i) {
        if (generated[i] == '\r' && i + 1 < generated.size() && generated[i + 1] == '\n')
            continue;
        out.append(generated[i]);
    }
    if (!out.endsWith('\n'))
        out.append('\n'); // the base64 body ends without one; mail tools expect whole lines
    return out;
}

QByteArray generate(const vmime::message &message)
{
    vmime::generationContext ctx(vmime::generationContext::getDefaultContext());
    ctx.setMaxLineLength(76);
    std::string out;
    vmime::utility::outputStreamStringAdapter os(out);
    message.generate(ctx, os);
    os.flush();
    return toMaildirLineEnds(out);
}

QString decodedText(const vmime::shared_ptr<const vmime::contentHandler> &contents,
                    const vmime::charset &charset)
{
    std::string raw;
    vmime::utility::outputStreamStringAdapter os(raw);
    contents->extract(os);
    os.flush();
    if (charset == vmime::charset(vmime::charsets::UTF_8) ||
        charset == vmime::charset(vmime::charsets::US_ASCII))
        return fromUtf8(raw);
    std::string converted;
    vmime::charset::convert(raw, converted, charset, vmime::charset(vmime::charsets::UTF_8));
    return fromUtf8(converted);
}

bool sameFieldName(const char *begin, size_t length, const char *name)
{
    return std::strlen(name) == length && strncasecmp(begin, name, length) == 0;
}

/// A Message-ID unique to this delivery. The library's own generator asks the
/// resolver for the canonical host name on every call, which costs more than
/// composing the rest of the message; the host name does not change while the
/// program runs.
vmime::messageId newMessageId()
{
    static const std::string host = [] {
        const std::string name = QSysInfo::machineHostName().toStdString();
        return name.empty() ? std::string("localhost") : name;
    }();
    static std::atomic<quint64> counter = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const std::string left =
        QStringLiteral("%1.%2.%3.%4")
            .arg(now)
            .arg(QCoreApplication::applicationPid())
            .arg(++counter)
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
            .toStdString();
    return vmime::messageId(left, host);
}

} // namespace

void ensureMimeLibrary()
{
    static std::once_flag once;
    std::call_once(once,
                   [] { vmime::platform::setHandler<vmime::platforms::posix::posixHandler>(); });
}

QByteArray composeMessage(const MessageHeaders &headers, const QList<AddressEntry> &to,
                          const QString &noteText)
{
    ensureMimeLibrary();
    vmime::message message;
    const auto header = message.getHeader();
    header->Date()->setValue(vmime::datetime::now());
    header->MessageId()->setValue(newMessageId());
    header->MimeVersion()->setValue(vmime::string("1.0"));
    header->From()->setValue(mailbox(headers.fromName, headers.fromAddress));
    vmime::addressList recipients;
    for (const AddressEntry &entry : to)
        recipients.appendAddress(mailbox(entry.displayName, entry.address));
    header->To()->setValue(recipients);
    header->Subject()->setValue(headerText(headers.subject));
    header->getField(MessageClassField)->setValue(headerText(headers.messageClass));
    setBody(message, noteText);
    return generate(message);
}

std::optional<MessageHeaders> readHeaders(const char *data, qsizetype size, bool complete)
{
    // The header block ends at the first empty line.
    const std::string_view text(data, size_t(size));
    size_t end = std::string_view::npos;
    if (text.starts_with('\n') || text.starts_with("\r\n"))
        end = 0;
    for (size_t at = text.find('\n'); end == std::string_view::npos && at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
        if (at + 1 < text.size() && (text[at + 1] == '\n' || text.substr(at + 1, 2) == "\r\n"))
            end = at + 1;
    }
    if (end == std::string_view::npos) {
        if (!complete)
            return std::nullopt;
        end = text.size();
    }

    // Hand vmime only the three fields a fetch needs: parsing every field of
    // every message would make a first fetch of a large mailbox slow.
    std::string wanted;
    bool keep = false;
    for (size_t lineStart = 0; lineStart < end;) {
        size_t lineEnd = text.find('\n', lineStart);
        lineEnd = lineEnd == std::string_view::npos || lineEnd > end ? end : lineEnd + 1;
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (line.front() != ' ' && line.front() != '\t') {
            const size_t colon = line.find(':');
            keep = colon != std::string_view::npos &&
                   (sameFieldName(line.data(), colon, "Subject") ||
                    sameFieldName(line.data(), colon, "From") ||
                    sameFieldName(line.data(), colon, MessageClassField));
        }
        if (keep)
            wanted.append(line);
        lineStart = lineEnd;
    }
    if (wanted.empty())
        return std::nullopt;

    try {
        ensureMimeLibrary();
        vmime::header header;
        header.parse(wanted);
        const auto classField = header.findField(MessageClassField);
        if (!classField)
            return std::nullopt;
        MessageHeaders headers;
        headers.messageClass =
            fromUtf8(classField->getValue<vmime::text>()->getConvertedText(vmime::charsets::UTF_8))
                .trimmed();
        if (const auto subject = header.findField(vmime::fields::SUBJECT))
            headers.subject = fromUtf8(
                subject->getValue<vmime::text>()->getConvertedText(vmime::charsets::UTF_8));
        if (const auto from = header.findField(vmime::fields::FROM)) {
            if (const auto box = vmime::dynamicCast<vmime::mailbox>(from->getValue())) {
                headers.fromName =
                    fromUtf8(box->getName().getConvertedText(vmime::charsets::UTF_8));
                headers.fromAddress = fromUtf8(box->getEmail().toString());
            }
        }
        return headers;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

QString readNoteText(const QByteArray &data)
{
    ensureMimeLibrary();
    const auto message = vmime::make_shared<vmime::message>();
    message->parse(data.toStdString());
    const auto body = message->getBody();
    if (body->getPartCount() == 0)
        return decodedText(body->getContents(), body->getCharset());
    const vmime::messageParser parser(message);
    for (const auto &part : parser.getTextPartList()) {
        if (part->getType() ==
            vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_PLAIN))
            return decodedText(part->getText(), part->getCharset());
    }
    return {};
}

QByteArray replaceContent(const QByteArray &data, const QString &subject, const QString &noteText)
{
    ensureMimeLibrary();
    vmime::message message;
    message.parse(data.toStdString());
    message.getHeader()->Subject()->setValue(headerText(subject));
    message.getBody()->removeAllParts();
    setBody(message, noteText);
    return generate(message);
}

} // namespace Telvora::Mail::Internal
