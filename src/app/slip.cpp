// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/slip.h"

#include "ui/layoutsupport.h"
#include "ui/mainwindowlayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace Telvora::App {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Lf = QStringLiteral("\n");

/// Urgent type: 12 points, bold, dark red.
constexpr qreal UrgentPointSize = 12;

} // namespace

Mail::SlipText Slip::text() const
{
    Mail::SlipText slip;
    slip.date = m_ui.tbMsg[1]->text();
    slip.time = m_ui.tbMsg[2]->text();
    slip.to = m_ui.tbMsg[3]->text();
    slip.caller = m_ui.tbMsg[4]->text();
    slip.company = m_ui.tbMsg[5]->text();
    slip.phone = m_ui.tbMsg[6]->text();
    // The box may hold CR LF pairs set by code: every line break becomes one CR LF.
    slip.message =
        m_ui.tbMsgNote->toPlainText().replace(CrLf, Lf).replace(u'\r', Lf).replace(Lf, CrLf);
    return slip;
}

void Slip::setText(const Mail::SlipText &text) const
{
    m_ui.tbMsg[1]->setText(text.date);
    m_ui.tbMsg[2]->setText(text.time);
    m_ui.tbMsg[3]->setText(text.to);
    m_ui.tbMsg[4]->setText(text.caller);
    m_ui.tbMsg[5]->setText(text.company);
    m_ui.tbMsg[6]->setText(text.phone);
    m_ui.tbMsgNote->setPlainText(QString(text.message).replace(CrLf, Lf));
}

Mail::ActionBoxes Slip::actions() const
{
    Mail::ActionBoxes boxes{};
    for (int index = 0; index < Mail::ActionCount; ++index)
        boxes[std::size_t(index)] = m_ui.chMsg[index]->isChecked();
    return boxes;
}

bool Slip::urgent() const
{
    return m_ui.chMsg[Mail::UrgentAction]->isChecked();
}

bool Slip::receiptRequested() const
{
    return m_ui.chkReturnReceipt->isChecked();
}

QString Slip::subject() const
{
    return Mail::BuildSubject(m_ui.tbMsg[4]->text(), m_ui.tbMsg[6]->text(), urgent());
}

QString Slip::noteText(const QString &logId, const QString &receiptFlags) const
{
    return Mail::BuildNoteText(text(), actions(), logId, receiptFlags);
}

QString Slip::logId() const
{
    return m_ui.tbMsg[1]->property(TagProperty).toString();
}

void Slip::setLogId(const QString &logId) const
{
    m_ui.tbMsg[1]->setProperty(TagProperty, logId);
}

QString Slip::receiptState() const
{
    const QVariant state = m_ui.lblReceiptStatus->property(TagProperty);
    return state.isValid() ? state.toString() : QStringLiteral("0");
}

void Slip::setReceiptState(const QString &state) const
{
    m_ui.lblReceiptStatus->setProperty(TagProperty, state);
}

void Slip::showActionStyle(int index) const
{
    QCheckBox *box = m_ui.chMsg[index];
    QFont font = box->font();
    if (index == Mail::UrgentAction) {
        const int border = box->isChecked() ? 2 : 1;
        m_ui.imgBorder->setPixmap(m_ui.imglstBorders.picture(border));
        if (box->isChecked()) {
            font.setPointSizeF(UrgentPointSize);
            font.setBold(true);
            box->setFont(font);
            Ui::setTextColour(box, Ui::DarkRed);
        } else {
            const QCheckBox *model = m_ui.chMsg[4];
            font.setPointSizeF(model->font().pointSizeF());
            font.setBold(false);
            box->setFont(font);
            box->setPalette(model->palette());
        }
        return;
    }
    font.setBold(box->isChecked());
    box->setFont(font);
}

} // namespace Telvora::App
