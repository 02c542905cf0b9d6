// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mailformat.h"

#include "app/apperror.h"
#include "app/textutil.h"

namespace Telvora::Mail {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Tab = QStringLiteral("\t");
const QString SubjectPrefix = QStringLiteral("PHONE: ");
const QString UrgentMark = QStringLiteral("! ");
const QString ActionLabel = QStringLiteral("ACTION:");
const QString TrailerStart = QStringLiteral("[[");
constexpr int DateLabel = 1;
constexpr int ToLabel = 3;
constexpr int MessageLabel = 7;

/// The value after a label up to the next CR LF, with leading TABs removed.
/// Absent when the label is missing; empty when no CR LF follows.
std::optional<QString> lineValue(const QString &body, const QString &label)
{
    const qsizetype at = body.indexOf(label);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + label.size();
    const qsizetype end = body.indexOf(CrLf, start);
    if (end < 0)
        return QString();
    return App::StripLeading(body.mid(start, end - start), Tab);
}

} // namespace

const std::array<QString, ActionCount> &ActionCaptions()
{
    static const std::array<QString, ActionCount> captions = {
        QStringLiteral("Te&lephoned"),   QStringLiteral("&Returned Call"),
        QStringLiteral("Ple&ase Call"),  QStringLiteral("&Will Call Back"),
        QStringLiteral("&Stopped By"),   QStringLiteral("&Urgent"),
        QStringLiteral("Returned Call"), QStringLiteral("Left Message"),
        QStringLiteral("Try Again"),     QStringLiteral("Forwarded"),
    };
    return captions;
}

QString ActionText(int index)
{
    QString caption = ActionCaptions().at(std::size_t(index));
    return App::ReplaceText(caption, QStringLiteral("&"), QString());
}

const std::array<QString, 8> &FieldLabels()
{
    static const std::array<QString, 8> labels = {
        QString(),
        QStringLiteral("DATE:"),
        QStringLiteral("TIME:"),
        QStringLiteral("TO:"),
        QStringLiteral("NAME:"),
        QStringLiteral("OF:"),
        QStringLiteral("PHONE:"),
        QStringLiteral("MESSAGE:"),
    };
    return labels;
}

QString BuildSubject(const QString &caller, const QString &phone, bool urgent)
{
    return SubjectPrefix + (urgent ? UrgentMark : QString()) + caller + Tab + phone;
}

QString ReceiptFlags(bool requested, const QString &state)
{
    return (requested ? QStringLiteral("1") : QStringLiteral("0")) + state;
}

QString BuildNoteText(const SlipText &slip, const ActionBoxes &actions, const QString &logId,
                      const QString &receiptFlags)
{
    const QString twoTabs = Tab + Tab;
    QString body;
    body += QStringLiteral("TELVORA") + CrLf;
    body += CrLf;
    body += QStringLiteral("TO:") + twoTabs + slip.to + CrLf;
    body += QStringLiteral("DATE:") + twoTabs + slip.date + Tab + slip.time + CrLf;
    body += QStringLiteral("NAME:") + twoTabs + slip.caller + CrLf;
    body += QStringLiteral("OF:") + twoTabs + slip.company + CrLf;
    body += QStringLiteral("PHONE:") + twoTabs + slip.phone + CrLf;
    body += ActionLabel;
    QString digits;
    for (int index = 0; index < ActionCount; ++index) {
        if (!actions[std::size_t(index)])
            continue;
        body += twoTabs + ActionText(index) + CrLf;
        digits += QString::number(index);
    }
    body += twoTabs + u'[' + digits + u']' + CrLf;
    body += QStringLiteral("MESSAGE:") + Tab + slip.message;
    body += CrLf + TrailerStart + logId + u'|' + receiptFlags + QStringLiteral("]]");
    return body;
}

SubjectFields ReadSubject(const QString &subject)
{
    if (subject.size() < SubjectPrefix.size())
        throw App::AppError(5, QStringLiteral("Invalid procedure call or argument"),
                            QStringLiteral("ReadSubject"));
    SubjectFields fields;
    QString rest = subject.mid(SubjectPrefix.size());
    if (rest.startsWith(u'!')) {
        fields.urgent = true;
        rest = rest.mid(UrgentMark.size());
    }
    // The caller is the text before the first TAB, even when the subject starts
    // with one (a message without a caller's name), and the phone all after it.
    const qsizetype tab = rest.indexOf(Tab);
    fields.caller = tab < 0 ? rest : rest.left(tab);
    if (tab >= 0)
        fields.phone = rest.mid(tab + 1);
    return fields;
}

NoteTextFields ReadNoteText(const QString &noteText)
{
    const auto &labels = FieldLabels();
    NoteTextFields fields;

    // The date line: left alone when it does not end or is empty.
    if (const qsizetype at = noteText.indexOf(labels[DateLabel]); at >= 0) {
        const qsizetype start = at + labels[DateLabel].size();
        const qsizetype end = noteText.indexOf(CrLf, start);
        if (end > start) {
            const QString value = App::StripLeading(noteText.mid(start, end - start), Tab);
            fields.date = App::GetToken(value, 1, Tab, 1, QString());
            fields.time = App::GetToken(value, 2, Tab, 1, QString());
        }
    }

    std::array<std::optional<QString> *, 4> lineFields = {&fields.to, &fields.caller,
                                                          &fields.company, &fields.phone};
    for (int k = ToLabel; k < MessageLabel; ++k)
        *lineFields[std::size_t(k - ToLabel)] = lineValue(noteText, labels[std::size_t(k)]);

    if (const qsizetype at = noteText.indexOf(labels[MessageLabel]); at >= 0) {
        const QString value =
            App::StripLeading(noteText.mid(at + labels[MessageLabel].size()), Tab);
        const qsizetype trailer = value.indexOf(TrailerStart);
        if (trailer < 0) {
            fields.message = value;
        } else {
            fields.message = value.left(trailer);
            const QString trailerText = value.mid(trailer + TrailerStart.size());
            fields.hasTrailer = true;
            fields.logId = App::GetToken(trailerText, 1, QStringLiteral("|"), 1, trailerText);
            if (trailerText.size() > fields.logId.size() + 1)
                fields.receiptFlags = trailerText.mid(fields.logId.size() + 1);
        }
    }

    if (const qsizetype action = noteText.indexOf(ActionLabel); action >= 0) {
        const qsizetype open = noteText.indexOf(u'[', action);
        const qsizetype close = open < 0 ? -1 : noteText.indexOf(u']', open);
        if (close > open) {
            for (const QChar c : QStringView(noteText).mid(open + 1, close - open - 1)) {
                if (c >= u'0' && c <= u'9')
                    fields.actions[std::size_t(c.digitValue())] = true;
            }
        }
    }
    return fields;
}

void NoteTextFields::applyTo(SlipText &slip) const
{
    const auto apply = [](const std::optional<QString> &value, QString &box) {
        if (value)
            box = *value;
    };
    apply(date, slip.date);
    apply(time, slip.time);
    apply(to, slip.to);
    apply(caller, slip.caller);
    apply(company, slip.company);
    apply(phone, slip.phone);
    apply(message, slip.message);
}

} // namespace Telvora::Mail
