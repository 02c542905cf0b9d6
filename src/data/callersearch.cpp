// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/callersearch.h"

#include "app/globals.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "data/databases.h"

#include <QLineEdit>

namespace Telvora::Data {

namespace {

const QString CrLf = QStringLiteral("\r\n");

/// The caller table when caller search can use it, otherwise nullptr.
Recordset *callerTable()
{
    DatabaseModule &module = databases();
    return module.CallerOpen() ? module.CallerTable.get() : nullptr;
}

/// Lets other holders of the file see what this search or save did.
void releaseReadLocks()
{
    try {
        Idle();
    } catch (const App::AppError &) {
        // Nothing is held that a later seek would not release anyway.
    }
}

/// Drops a pending AddNew or Edit, so that nothing of it can be saved later.
void discardEdit(Recordset &table) noexcept
{
    try {
        if (table.editMode() != Recordset::EditMode::None)
            table.CancelUpdate();
    } catch (const App::AppError &) {
        // A record set that cannot be used holds nothing that could be saved.
    }
}

/// Starts AddNew or Edit, asking Retry or Cancel on failure.
template<typename Begin> bool beginWithRetry(Begin begin)
{
    for (;;) {
        try {
            begin();
            return true;
        } catch (const App::AppError &error) {
            const App::PromptAnswer answer =
                App::showMessage(error.description(), App::PromptButtons::RetryCancel,
                                 App::PromptIcon::Exclamation, QStringLiteral("Database Error"));
            if (answer != App::PromptAnswer::Retry)
                return false;
        }
    }
}

/// Assigns the fields and saves; on failure the edit buffer is dropped so
/// nothing of the caller is written, and the failure is shown after sentence.
void assignAndSave(Recordset &table, const QString *name, const QString &company,
                   const QString &phone, const QString &sentence)
{
    try {
        if (name)
            table.setValue(QStringLiteral("Name"), *name);
        table.setValue(QStringLiteral("Company"), company);
        table.setValue(QStringLiteral("Phone"), phone);
        table.Update();
    } catch (const App::AppError &error) {
        discardEdit(table);
        App::showMessage(sentence + CrLf + error.description());
    }
}

} // namespace

void CallerTypeAhead(App::MainWindow &main)
{
    Recordset *table = callerTable();
    if (!table)
        return;
    App::Globals &globals = App::globals();
    QLineEdit *callerBox = main.ui().tbMsg[4];
    QLineEdit *companyBox = main.ui().tbMsg[5];
    QLineEdit *phoneBox = main.ui().tbMsg[6];
    const QString typed = callerBox->text();

    try {
        // Read the record before touching the boxes: setting the caller box
        // runs this search again on the same record set.
        bool found = false;
        QString name;
        QString company;
        QString phone;
        table->Seek(QStringLiteral(">="), typed);
        if (!table->NoMatch()) {
            name = table->value(QStringLiteral("Name")).toString();
            found = foldCase(name).startsWith(foldCase(typed));
            if (found) {
                company = table->value(QStringLiteral("Company")).toString();
                phone = table->value(QStringLiteral("Phone")).toString();
            }
        }

        if (found) {
            globals.CallerAutoFilled = true;
            callerBox->setText(name);
            const int typedLength = int(typed.size());
            callerBox->setSelection(typedLength, int(name.size()) - typedLength);
            companyBox->setText(company);
            phoneBox->setText(phone);
            globals.CallerChanged = false;
        } else if (globals.CallerAutoFilled) {
            companyBox->clear();
            phoneBox->clear();
            globals.CallerAutoFilled = false;
        }
    } catch (const App::AppError &error) {
        App::showMessage(error.description());
    }
    releaseReadLocks();
}

bool BeginAddCaller()
{
    Recordset *table = callerTable();
    return table && beginWithRetry([table] { table->AddNew(); });
}

bool BeginEditCaller()
{
    Recordset *table = callerTable();
    return table && beginWithRetry([table] { table->Edit(); });
}

void SaveCaller(App::MainWindow &main)
{
    Recordset *table = callerTable();
    if (!table)
        return;
    const QString name = main.ui().tbMsg[4]->text().trimmed();
    if (name.isEmpty())
        return;
    const QString company = main.ui().tbMsg[5]->text();
    const QString phone = main.ui().tbMsg[6]->text();

    try {
        table->Seek(QStringLiteral("="), name);
        if (table->NoMatch()) {
            if (BeginAddCaller()) {
                assignAndSave(*table, &name, company, phone,
                              QStringLiteral("Error Adding Caller to Database."));
            }
        } else if (BeginEditCaller()) {
            // The stored spelling of the name stays.
            assignAndSave(*table, nullptr, company, phone,
                          QStringLiteral("Error Saving Changes to Caller."));
        }
    } catch (const App::AppError &error) {
        discardEdit(*table);
        App::showMessage(error.description(), App::PromptButtons::Ok, App::PromptIcon::Exclamation,
                         QStringLiteral("SaveCaller Error"));
    }
    releaseReadLocks();
}

} // namespace Telvora::Data
