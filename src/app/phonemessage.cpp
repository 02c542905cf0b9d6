// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonemessage.h"

#include "app/apperror.h"
#include "app/textutil.h"

#include <algorithm>

namespace Telvora::App {

namespace {

const QString MessageSource = QStringLiteral("Message");
const QString CollectionSource = QStringLiteral("Messages");

[[noreturn]] void throwReadOnly(const QString &description)
{
    throw AppError(ErrorNumber::ReadOnlyProperty, description, MessageSource);
}

/// The number of a run of one or two ASCII digits in text from `at`; -1 when
/// there is none.
int twoDigitNumber(QStringView text, qsizetype &at)
{
    int value = -1;
    for (int digits = 0;
         digits < 2 && at < text.size() && text[at].isDigit() && text[at].unicode() < 128;
         ++digits, ++at)
        value = (value < 0 ? 0 : value * 10) + (text[at].unicode() - '0');
    return value;
}

/// "14:05" (or "14:05:30") as "2:05P"; a text that is no time of day is
/// returned as it is. Called for every fetched message, so it parses by hand
/// rather than through the general date-time parser.
QString shortTwelveHourTime(const QString &text)
{
    if (text.isEmpty())
        return {};
    qsizetype at = 0;
    const int hour = twoDigitNumber(text, at);
    if (hour < 0 || hour > 23 || at >= text.size() || text[at] != u':')
        return text;
    const qsizetype minuteStart = ++at;
    const int minute = twoDigitNumber(text, at);
    if (minute < 0 || minute > 59 || at - minuteStart != 2)
        return text;
    if (at < text.size()) {
        const qsizetype secondStart = ++at;
        const int second = text[secondStart - 1] == u':' ? twoDigitNumber(text, at) : -1;
        if (second < 0 || second > 59 || at - secondStart != 2 || at != text.size())
            return text;
    }
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    QString time;
    time.reserve(6);
    time += QString::number(hour12);
    time += u':';
    time += QChar(u'0' + minute / 10);
    time += QChar(u'0' + minute % 10);
    time += hour < 12 ? u'A' : u'P';
    return time;
}

} // namespace

void Message::setID(const QString &id)
{
    if (!m_id.isEmpty())
        throwReadOnly(QStringLiteral("This Property is Read Only"));
    m_id = id;
}

void Message::setDateTimeReceived(const QString &stamp)
{
    m_dateTimeReceived = stamp;
    const QString space = QStringLiteral(" ");
    const QString datePart = GetToken(stamp, 1, space, 1, stamp);
    const QString timePart = GetToken(stamp, 2, space, 1, QString());

    const QString slash = QStringLiteral("/");
    const QString year = datePart.mid(2, 2);
    const QString month = GetToken(datePart, 2, slash, 1, QString());
    const QString day = GetToken(datePart, 3, slash, 1, QString());
    m_dateReceived = month + slash + day + slash + year;
    m_timeReceived = shortTwelveHourTime(timePart);
}

void Message::setDateReceived(const QString &)
{
    throwReadOnly(QStringLiteral("The DateReceived Property is Read Only"));
}

void Message::setTimeReceived(const QString &)
{
    throwReadOnly(QStringLiteral("The TimeReceived Property is Read Only"));
}

QString Message::NoteText()
{
    if (m_noteText.isEmpty())
        m_noteText = m_store->GetNoteText(m_id);
    m_read = true;
    return m_noteText;
}

void Message::setNoteText(const QString &text)
{
    if (!text.isEmpty())
        m_noteText = text;
}

bool Message::Delete()
{
    return m_store->DeleteMailMessage(m_id);
}

bool Message::Update()
{
    return m_store->UpdateMailMessage(m_id, m_subject, m_noteText);
}

Message &Messages::Add(const QString &newId, const QString &subject, const QString &timeReceived,
                       bool read, const QString &senderName, const QString &senderAddress)
{
    if (m_byId.contains(newId))
        throw AppError(
            457,
            QStringLiteral("This key is already associated with an element of this collection"),
            CollectionSource);
    auto message = std::make_unique<Message>(m_store);
    message->setID(newId);
    message->setRead(read);
    message->setSubject(subject);
    message->setDateTimeReceived(timeReceived);
    message->Sender().Name = senderName;
    message->Sender().Address = senderAddress;

    Message &added = *message;
    m_items.push_back(std::move(message));
    m_byId.insert(newId, &added);
    return added;
}

void Messages::Clear()
{
    m_byId.clear();
    m_items.clear();
}

Message &Messages::Item(int position) const
{
    if (position < 1 || position > Count())
        throw AppError(9, QStringLiteral("Subscript out of range"), CollectionSource);
    return *m_items[std::size_t(position - 1)];
}

Message &Messages::Item(const QString &id) const
{
    Message *message = m_byId.value(id);
    if (!message)
        throw AppError(5, QStringLiteral("Invalid procedure call or argument"), CollectionSource);
    return *message;
}

bool Messages::Remove(int position)
{
    Item(position); // throws for a position outside the collection
    return removeAt(std::size_t(position - 1));
}

bool Messages::Remove(const QString &id)
{
    const Message &message = Item(id);
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [&](const auto &item) { return item.get() == &message; });
    return removeAt(std::size_t(it - m_items.begin()));
}

bool Messages::removeAt(std::size_t index)
{
    Message &message = *m_items[index];
    if (!message.Delete())
        return false;
    m_byId.remove(message.ID());
    m_items.erase(m_items.begin() + std::ptrdiff_t(index));
    return true;
}

int Messages::UnreadCount() const
{
    return int(std::count_if(m_items.begin(), m_items.end(),
                             [](const auto &message) { return !message->Read(); }));
}

} // namespace Telvora::App
