// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailformat.h"

#include <QString>

namespace Telvora::Ui {
class MainWindowLayout;
}

namespace Telvora::App {

/// The slip of the main window read and written in the terms of a phone
/// message body: the seven text boxes, the ten action boxes, the receipt box
/// and the two tags a shown received message carries (the sender's log number
/// on tbMsg(1), the receipt-state digit on lblReceiptStatus, both as the
/// dynamic property TagProperty). A light view: make one wherever needed.
class Slip
{
public:
    /// The dynamic property that holds a control's tag text.
    static constexpr const char *TagProperty = "tag";

    explicit Slip(const Ui::MainWindowLayout &ui)
        : m_ui(ui)
    {}

    /// The text boxes; line breaks of the note come back as CR LF.
    [[nodiscard]] Mail::SlipText text() const;
    /// Fills the text boxes; CR LF in the note becomes the note box's line break.
    void setText(const Mail::SlipText &text) const;

    /// Which action boxes are checked, by index.
    [[nodiscard]] Mail::ActionBoxes actions() const;
    [[nodiscard]] bool urgent() const;
    [[nodiscard]] bool receiptRequested() const;

    /// "PHONE: " + ("! " when urgent) + caller + TAB + phone.
    [[nodiscard]] QString subject() const;
    /// The body of the slip with the trailer "[[" logId "|" receiptFlags "]]".
    [[nodiscard]] QString noteText(const QString &logId, const QString &receiptFlags) const;

    /// The sender's log number of the shown received message ("" when none).
    [[nodiscard]] QString logId() const;
    void setLogId(const QString &logId) const;
    /// The receipt-state digit of the shown received message ("0" when none).
    [[nodiscard]] QString receiptState() const;
    void setReceiptState(const QString &state) const;

    /// Gives action box `index` the look of its value: the urgent box switches
    /// the slip's border and its own large dark red type, the others are bold
    /// while checked.
    void showActionStyle(int index) const;

private:
    const Ui::MainWindowLayout &m_ui;
};

} // namespace Telvora::App
