// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Telvora::Ui {

/// The program's version information, as the about box and the splash window
/// show it.
struct VersionInfo
{
    QString productName;
    QString comments;
    QString companyName;
    QString legalCopyright;
    int major = 0;
    int minor = 0;
    int revision = 0;

    /// The file and product version as "4.00.0052".
    [[nodiscard]] QString fileVersion() const;
};

/// The version information of this build (from the project version).
[[nodiscard]] const VersionInfo &programVersion();

/// The splash window's version line: "Version", two blanks, major "." minor.
[[nodiscard]] QString splashVersionText(const VersionInfo &info);

/// The about box's version line: "Version", two blanks, major.minor.revision.
[[nodiscard]] QString aboutVersionText(const VersionInfo &info);

} // namespace Telvora::Ui
