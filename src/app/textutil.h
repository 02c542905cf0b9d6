// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::App {

// Routines for cutting the program's delimited texts: ";"-separated name lists,
// ","-separated window rectangles, TAB-separated lines and date stamps. Stored
// and exchanged texts pass through them, so their edge behaviour is fixed:
// positions are 1-based and every search is exact (case-sensitive).

/// The Index-th token of Text between Delimiter characters, searching from
/// StartPos; Default when the text is empty, too short or has too few tokens.
/// An empty Delimiter means one blank; Index 0 and StartPos 0 mean 1. The
/// character at the first position is never taken as a delimiter, and the last
/// token runs to the end of the text.
[[nodiscard]] QString GetToken(const QString &text, int index, const QString &delimiter,
                               int startPos, const QString &defaultText);

/// The token at Position up to the next Delimiter; moves Position past that
/// delimiter, or to 0 when the text is used up. Walk a line by starting at 1 and
/// calling until Position is 0. A Position outside the text shows the
/// "Error In String Token Procedure." box, sets Position to 0 and returns "".
[[nodiscard]] QString NextToken(int &position, const QString &text, const QString &delimiter);

/// The text before the first Delimiter of List; List keeps what follows that
/// delimiter. Without a delimiter returns the whole List and empties it.
[[nodiscard]] QString PopToken(QString &list, const QString &delimiter);

/// Replaces every occurrence of Find in Text, searching again from the start
/// after each replacement; leaves the result in Text and returns it. An empty
/// Find changes nothing; a Replacement that contains Find is applied in one
/// left-to-right pass, since repeating it would never end.
QString ReplaceText(QString &text, const QString &find, const QString &replacement);

/// Text without leading repetitions of Prefix (unchanged for an empty Prefix).
[[nodiscard]] QString StripLeading(const QString &text, const QString &prefix);

} // namespace Telvora::App
