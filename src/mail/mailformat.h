// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace Telvora::Mail {

/// Message class of a phone message.
inline const QString PhoneMessageClass = QStringLiteral("IPM.KVXTelvora.PhoneMsg");
/// Message class of a return receipt; its subject is the sender's log number.
inline const QString ReceiptMessageClass = QStringLiteral("IPC.KVX.TelvoraReceipt");

/// Number of action boxes on the slip: six actions of a new message (0-5) and
/// four follow-up boxes of a received one (6-9). A box's index is its digit.
inline constexpr int ActionCount = 10;
/// Index of the Urgent box, which also marks the subject.
inline constexpr int UrgentAction = 5;

/// The captions of the action boxes, accelerator marks included.
[[nodiscard]] const std::array<QString, ActionCount> &ActionCaptions();
/// The text written into a body for action box `index`: its caption without "&".
[[nodiscard]] QString ActionText(int index);

/// The labels of the body fields, index 1 to 7 ("TIME:" at 2 never appears in
/// a body). Index 0 is unused.
[[nodiscard]] const std::array<QString, 8> &FieldLabels();

/// The text boxes of a slip, in body terms.
struct SlipText
{
    QString date;    ///< date the call was taken
    QString time;    ///< time the call was taken
    QString to;      ///< recipient display names separated by ";"
    QString caller;  ///< caller's name
    QString company; ///< caller's company
    QString phone;   ///< caller's phone number
    QString message; ///< free text, may hold CR LF pairs
};

using ActionBoxes = std::array<bool, ActionCount>;

/// "PHONE: " + ("! " when urgent) + caller + TAB + phone.
[[nodiscard]] QString BuildSubject(const QString &caller, const QString &phone, bool urgent);

/// The note text of a phone message: the labelled lines, the action lines and
/// digits, the message text as typed, and the tracking trailer
/// "[[" logId "|" receiptFlags "]]". Line ends are CR LF.
[[nodiscard]] QString BuildNoteText(const SlipText &slip, const ActionBoxes &actions,
                                    const QString &logId, const QString &receiptFlags);

/// The trailer's receipt flags: "1" or "0" for the request, then the state
/// digit ("0" not returned, "1" returned, "2" ignored; may be empty).
[[nodiscard]] QString ReceiptFlags(bool requested, const QString &state);

/// What a subject says: the caller, the phone number and the urgent mark.
struct SubjectFields
{
    QString caller;
    QString phone;
    bool urgent = false;
};

/// Reads a phone message subject. The first seven characters are dropped
/// whatever they are; a subject shorter than that throws App::AppError.
[[nodiscard]] SubjectFields ReadSubject(const QString &subject);

/// What a body says. Fields whose label is missing (or, for the date, whose
/// line does not end) are absent and leave the slip's box as it was.
struct NoteTextFields
{
    std::optional<QString> date;
    std::optional<QString> time;
    std::optional<QString> to;
    std::optional<QString> caller;
    std::optional<QString> company;
    std::optional<QString> phone;
    std::optional<QString> message; ///< the text before the trailer, with its CR LF
    ActionBoxes actions{};          ///< boxes named by the action digits
    bool hasTrailer = false;
    QString logId;        ///< the sender's log number text; empty without a trailer
    QString receiptFlags; ///< text after the log number and "|", "]]" included
    [[nodiscard]] bool receiptRequested() const { return receiptFlags.startsWith(u'1'); }
    /// The receipt state character, or a null character when the flags end after
    /// the request (the "]]" that closes the trailer is not a state).
    [[nodiscard]] QChar receiptState() const
    {
        return receiptFlags.size() > 1 && receiptFlags.at(1) != u']' ? receiptFlags.at(1) : QChar();
    }

    /// Copies every present field into the slip.
    void applyTo(SlipText &slip) const;
};

/// Reads a phone message body. Every label is searched from the first character
/// of the body, so texts written by other programs are read as far as they can be.
[[nodiscard]] NoteTextFields ReadNoteText(const QString &noteText);

} // namespace Telvora::Mail
