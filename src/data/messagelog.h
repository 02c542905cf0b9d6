// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace Telvora::App {
class MainWindow;
}

namespace Telvora::Data {

/// Why a message is being logged: it decides how a failure is reported.
enum class LogOccasion
{
    /// The slip is being sent: a failure is thrown to the sender, which reports
    /// it as a failure of the send.
    Sending,
    /// A received message is being opened for the first time: a failure is
    /// shown in the "Error Writing Message Log" box and 0 is returned.
    Opening,
};

/// Writes the slip of the main window into the message log (table "Messages")
/// and returns the record's ID; 0 when logging is off or the log cannot be
/// opened (OpenLogDatabase() has then told the user). The slip's texts are cut
/// to their field sizes (To, Caller, Company 55; Phone and Sender 35; Note 255).
/// The record named by the ID in the tag of tbMsg(1) is updated in place when
/// its DateSent is empty, or when it has the slip's date and time and the same
/// caller; otherwise a new record is added. A failure of the engine leaves no
/// half-written record: with LogOccasion::Sending it throws App::AppError, with
/// LogOccasion::Opening it is shown and 0 is returned.
[[nodiscard]] long LogMessage(App::MainWindow &main, LogOccasion occasion = LogOccasion::Sending);

/// Marks the logged message named by a receipt's subject as received
/// (ReceiptAcknowledged 1) and returns true when the receipt has been dealt
/// with and its mail may be deleted: also for a subject that is not a positive
/// whole number or names no record. Returns false, so that the receipt stays
/// for a later pass, while logging is off or the log cannot be opened. Throws
/// App::AppError when the engine fails to write the record.
[[nodiscard]] bool AcknowledgeReceipt(const QString &messageId);

/// Stops waiting for the receipt of the logged message on the slip
/// (ReceiptAcknowledged 2), then clears the slip and re-reads the receipt view.
/// An ID that is not a number or not in the log is reported ("IgnoreMessage
/// Error") and changes nothing.
void IgnoreMessage(App::MainWindow &main);

/// Shows the record of the row picked in dblstMessages on the slip: date and
/// time, texts, action boxes, receipt box and state; on the receipt view the
/// Ignore button takes the place of the state label. Nothing is shown when no
/// row is picked.
void ShowLoggedMessage(App::MainWindow &main);

/// Fills dblstMessages with every logged message, newest first.
void ShowMessageLog(App::MainWindow &main);

/// Fills dblstMessages with the logged messages that still wait for their
/// receipt (requested and not yet received nor ignored), newest first.
void ShowReceiptList(App::MainWindow &main);

/// Points the main window's log list at the log file named by MessageLog and
/// returns true; offers to create a missing file and returns false when that is
/// declined or fails (a failed creation switches logging off).
[[nodiscard]] bool BindLogList(App::MainWindow &main);

/// After the log path changed: re-reads the log list from the file now named by
/// MessageLog, when the list is bound.
void RefreshLogList(App::MainWindow &main);

/// Detaches the log list from its file and empties it.
void UnbindLogList(App::MainWindow &main);

/// The column of dblstMessages' model that holds a row's record ID, and the
/// one the list shows (ListFields: date sent, recipient, caller and phone,
/// separated by five blanks).
inline constexpr int LogListIdColumn = 0;
inline constexpr int LogListFieldsColumn = 12;

/// A date and time as the desktop writes it in general form: its short date,
/// then a blank and its long time unless the time is midnight.
[[nodiscard]] QString GeneralDateText(const QDateTime &dateTime);

/// The date and time a slip's date and time boxes stand for, read by the
/// desktop's short and long forms and the common numeric ones ("5/14/97",
/// "14.05.1997", "1997-05-14"; "2:05 PM", "14:05", "14:05:30"). An empty time
/// is midnight. Two-digit years fall in 1930 to 2029. Nothing when either text
/// is not a valid date or time.
[[nodiscard]] std::optional<QDateTime> slipDateTime(const QString &date, const QString &time);

} // namespace Telvora::Data
