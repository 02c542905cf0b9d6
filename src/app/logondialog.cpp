// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logondialog.h"

#include "app/prompt.h"
#include "mail/postoffice.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Telvora::App {

namespace {

const QString CreateMailboxTitle = QStringLiteral("Create Mailbox");
const QString CreatePostOfficeTitle = QStringLiteral("Create Post Office");

/// Whether a new post office can be made in the folder: it is missing or empty.
bool canBecomePostOffice(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    return info.isDir() && QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                              QDir::Hidden | QDir::System);
}

} // namespace

LogonDialog::LogonDialog(const std::optional<Mail::MailProfile> &current, QWidget *parent)
    : QDialog(parent)
{
    m_ui.setupUi(this);
    if (current) {
        m_ui.txtPostOffice->setText(current->postOffice);
        m_ui.cboMailbox->setEditText(current->mailbox);
    }
    connect(m_ui.cmdBrowse, &QPushButton::clicked, this, &LogonDialog::browse);
    connect(m_ui.txtPostOffice, &QLineEdit::textChanged, this, &LogonDialog::refreshFolder);
    connect(m_ui.cmdCreatePostOffice, &QPushButton::clicked, this, &LogonDialog::createPostOffice);
    connect(m_ui.cmdCreateMailbox, &QPushButton::clicked, this, &LogonDialog::createMailbox);
    connect(m_ui.cboMailbox, &QComboBox::editTextChanged, this, &LogonDialog::refreshFolder);
    connect(m_ui.cmdOK, &QPushButton::clicked, this, &LogonDialog::accept);
    connect(m_ui.cmdCancel, &QPushButton::clicked, this, &LogonDialog::reject);
    refreshFolder();
}

QString LogonDialog::postOfficePath() const
{
    QString text = m_ui.txtPostOffice->text().trimmed();
    if (text.isEmpty())
        return {};
    if (text == u'~' || text.startsWith(QLatin1String("~/")))
        text.replace(0, 1, QDir::homePath());
    return QDir::cleanPath(QFileInfo(text).absoluteFilePath());
}

QString LogonDialog::mailboxName() const
{
    return m_ui.cboMailbox->currentText().trimmed();
}

Mail::MailProfile LogonDialog::profile() const
{
    return Mail::MailProfile{postOfficePath(), mailboxName()};
}

void LogonDialog::browse()
{
    const QString start = postOfficePath().isEmpty() ? QDir::homePath() : postOfficePath();
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Choose the Post Office Folder"), start);
    if (!chosen.isEmpty())
        m_ui.txtPostOffice->setText(QDir::toNativeSeparators(chosen));
}

void LogonDialog::refreshFolder()
{
    const QString path = postOfficePath();
    const bool isPostOffice = !path.isEmpty() && Mail::PostOffice::isPostOffice(path);
    const QString typed = m_ui.cboMailbox->currentText();

    if (sender() != m_ui.cboMailbox) {
        // Refill the mailbox list from the folder, keeping what was typed.
        const QSignalBlocker blocker(m_ui.cboMailbox);
        m_ui.cboMailbox->clear();
        if (isPostOffice) {
            try {
                const QList<Mail::AddressEntry> entries = Mail::PostOffice(path).addressList();
                for (const Mail::AddressEntry &entry : entries)
                    m_ui.cboMailbox->addItem(entry.mailbox, entry.displayName);
            } catch (const AppError &) {
                // An unreadable address list leaves the list empty; OK tells why.
            }
        }
        m_ui.cboMailbox->setEditText(typed);
    }

    QString state;
    bool canCreateMailbox = false;
    if (path.isEmpty()) {
        state = QStringLiteral("Type or browse for the folder of your office's post office.");
    } else if (isPostOffice) {
        const int count = m_ui.cboMailbox->count();
        const int found = m_ui.cboMailbox->findText(mailboxName(), Qt::MatchExactly);
        state = count == 1 ? QStringLiteral("A post office with 1 mailbox.")
                           : QStringLiteral("A post office with %1 mailboxes.").arg(count);
        if (found >= 0)
            state += QStringLiteral(" %1 is \"%2\".")
                         .arg(mailboxName(), m_ui.cboMailbox->itemData(found).toString());
        canCreateMailbox = found < 0 && !mailboxName().isEmpty() && QFileInfo(path).isWritable();
    } else if (canBecomePostOffice(path)) {
        state =
            QStringLiteral("This folder is not a post office. Create Post Office makes it one.");
    } else {
        state = QStringLiteral("This folder is not a post office.");
    }
    m_ui.lblFolderState->setText(state);
    m_ui.cmdCreatePostOffice->setEnabled(!path.isEmpty() && !isPostOffice &&
                                         canBecomePostOffice(path));
    m_ui.cmdCreateMailbox->setEnabled(canCreateMailbox);
    m_ui.txtDisplayName->setEnabled(isPostOffice);
}

void LogonDialog::createPostOffice()
{
    const QString path = postOfficePath();
    try {
        (void)Mail::PostOffice::create(path);
    } catch (const AppError &error) {
        showMessage(QStringLiteral("Unable to Create the Post Office") +
                        QStringLiteral("\r\n\r\n") + error.description(),
                    PromptButtons::Ok, PromptIcon::Exclamation, CreatePostOfficeTitle);
    }
    refreshFolder();
    m_ui.cboMailbox->setFocus();
}

void LogonDialog::createMailbox()
{
    const QString path = postOfficePath();
    const QString mailbox = mailboxName();
    try {
        Mail::PostOffice office(path);
        (void)office.addMailbox(mailbox, m_ui.txtDisplayName->text().trimmed());
    } catch (const AppError &error) {
        showMessage(QStringLiteral("Unable to Create the Mailbox") + QStringLiteral("\r\n\r\n") +
                        error.description(),
                    PromptButtons::Ok, PromptIcon::Exclamation, CreateMailboxTitle);
        return;
    }
    refreshFolder();
    m_ui.cboMailbox->setEditText(mailbox);
    refreshFolder();
}

void LogonDialog::accept()
{
    const QString path = postOfficePath();
    const QString mailbox = mailboxName();
    QString problem;
    if (path.isEmpty()) {
        problem = QStringLiteral("Choose the folder of your office's post office.");
    } else if (!Mail::PostOffice::isPostOffice(path)) {
        problem = QStringLiteral("The folder \"%1\" is not a post office.").arg(path);
    } else if (mailbox.isEmpty()) {
        problem = QStringLiteral("Choose your mailbox in the post office.");
    } else {
        try {
            if (!Mail::PostOffice(path).findMailbox(mailbox))
                problem =
                    QStringLiteral("There is no mailbox \"%1\" in this post office. Choose one "
                                   "from the list or create it.")
                        .arg(mailbox);
        } catch (const AppError &error) {
            problem = error.description();
        }
    }
    if (!problem.isEmpty()) {
        showMessage(problem, PromptButtons::Ok, PromptIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

std::optional<Mail::MailProfile> runLogonDialog(const std::optional<Mail::MailProfile> &current,
                                                QWidget *parent)
{
    LogonDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.profile();
}

} // namespace Telvora::App
