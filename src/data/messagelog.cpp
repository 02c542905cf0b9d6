// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/messagelog.h"

#include "app/apperror.h"
#include "app/globals.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "app/slip.h"
#include "data/databases.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <limits>

namespace Telvora::Data {

namespace {

using App::PromptButtons;
using App::PromptIcon;

const QString CrLf = QStringLiteral("\r\n");
const QString ListSeparator = QStringLiteral("     ");
const QString ReceiptTabKey = QStringLiteral("ReceiptRequested");

// The list's query: the record's fields in table order (the ID first, so a
// picked row names its record) and the ListFields column, which the model
// computes because the date follows the desktop's rule. Ties in DateSent show
// the later record first; the DateSent index (which ends in the ID) serves the
// order, so the first rows come without reading the table.
const QString ListSelect = QStringLiteral(
    "SELECT ID, DateSent, DateReceived, \"To\", Caller, Company, Phone, Note, Action, Sender, "
    "ReceiptRequested, ReceiptAcknowledged, NULL AS ListFields");
const QString MessageLogTail =
    QStringLiteral(" FROM Messages ORDER BY Messages.DateSent DESC, Messages.ID DESC");
const QString ReceiptListTail = QStringLiteral(
    " FROM Messages WHERE ((Messages.ReceiptRequested)=1) AND "
    "((Messages.ReceiptAcknowledged)=0) ORDER BY Messages.DateSent DESC, Messages.ID DESC");

enum ListColumn
{
    IdColumn = LogListIdColumn,
    DateSentColumn = 1,
    ToColumn = 3,
    CallerColumn = 4,
    PhoneColumn = 6,
    ListFieldsColumn = LogListFieldsColumn,
};

/// The size of a text field of the log table, as the table is created.
int fieldSize(const QString &name)
{
    const QList<Field> &fields = DatabaseModule::messagesTableDef().fields;
    const auto field = std::find_if(fields.cbegin(), fields.cend(),
                                    [&](const Field &candidate) { return candidate.name == name; });
    Q_ASSERT(field != fields.cend());
    return field->size;
}

/// The first `count` characters of the text, counted as the engine counts
/// them (a character outside the basic plane is one, never cut in half).
QString leftCharacters(const QString &text, int count)
{
    qsizetype end = 0;
    for (int taken = 0; end < text.size() && taken < count; ++taken)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    return text.left(end);
}

/// A record number given as text: a positive whole number within the range
/// of the ID field, or nothing.
std::optional<int> recordNumber(const QString &text)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok || number < 1 || number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return int(number);
}

/// The desktop's long time form without the time zone.
QString longTimeForm()
{
    QStringList parts = QLocale().timeFormat(QLocale::LongFormat).split(u' ');
    parts.removeIf(
        [](const QString &part) { return !part.isEmpty() && part.count(u't') == part.size(); });
    return parts.join(u' ').trimmed();
}

QString longTimeText(const QTime &time)
{
    return QLocale().toString(time, longTimeForm());
}

QString timeOfDayText(const QTime &time)
{
    return time == QTime(0, 0) ? QString() : longTimeText(time);
}

/// DateSent as the engine keeps it ("yyyy-MM-dd HH:mm:ss") or as a record set
/// gives it (QDateTime); invalid when empty.
QDateTime storedDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    const QString text = value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

std::optional<QDate> parseDate(const QString &text)
{
    const QLocale locale;
    const QLocale c = QLocale::c();
    const QList<std::pair<QLocale, QString>> forms{
        {locale, locale.dateFormat(QLocale::ShortFormat)},
        {locale, locale.dateFormat(QLocale::LongFormat)},
        {c, QStringLiteral("yyyy-MM-dd")},
        {c, QStringLiteral("M/d/yyyy")},
        {c, QStringLiteral("M/d/yy")},
        {c, QStringLiteral("d.M.yyyy")},
        {c, QStringLiteral("d.M.yy")},
        {c, QStringLiteral("yyyy/M/d")},
        {c, c.dateFormat(QLocale::ShortFormat)},
    };
    for (const auto &[formLocale, form] : forms) {
        QDate date = formLocale.toDate(text, form);
        if (!date.isValid())
            continue;
        // A year of two digits falls in 1930 to 2029.
        if (!form.contains(QStringLiteral("yyyy")) && form.contains(QStringLiteral("yy")) &&
            date.year() < 1930) {
            date = date.addYears(100);
        }
        return date;
    }
    return std::nullopt;
}

std::optional<QTime> parseTime(const QString &text)
{
    if (text.isEmpty())
        return QTime(0, 0);
    const QLocale locale;
    const QLocale c = QLocale::c();
    const QString upper = text.toUpper();
    const QList<std::pair<QLocale, QString>> forms{
        {locale, locale.timeFormat(QLocale::ShortFormat)},
        {locale, locale.timeFormat(QLocale::LongFormat)},
        {locale, longTimeForm()},
        {c, QStringLiteral("h:mm AP")},
        {c, QStringLiteral("h:mm:ss AP")},
        {c, QStringLiteral("h:mmAP")},
        {c, QStringLiteral("H:mm")},
        {c, QStringLiteral("H:mm:ss")},
    };
    for (const auto &[formLocale, form] : forms) {
        for (const QString &candidate : {text, upper}) {
            const QTime time = formLocale.toTime(candidate, form);
            if (time.isValid())
                return QTime(time.hour(), time.minute(), time.second());
        }
    }
    return std::nullopt;
}

/// The list model behind dblstMessages: the rows of the list query, read as
/// they scroll into view, with ListFields made from the row's other columns.
class LogListModel final : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &item, int role) const override
    {
        if (item.column() != ListFieldsColumn || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QSqlQueryModel::data(item, role);
        const auto field = [&](int column) {
            return QSqlQueryModel::data(index(item.row(), column), Qt::DisplayRole);
        };
        const QDateTime sent = storedDateTime(field(DateSentColumn));
        return (sent.isValid() ? GeneralDateText(sent) : QString()) + ListSeparator +
               field(ToColumn).toString() + ListSeparator + field(CallerColumn).toString() +
               ListSeparator + field(PhoneColumn).toString();
    }
};

/// The main window's data control `dataLog`: its own shared opening of the
/// log file (the database name) and the query (the record source) whose rows
/// dblstMessages shows. Made on first use as a child of the main window.
class LogListControl final : public QObject
{
public:
    explicit LogListControl(App::MainWindow &main)
        : QObject(&main)
    {
        setObjectName(QStringLiteral("dataLog"));
        main.ui().dblstMessages->setModel(&m_model);
        main.ui().dblstMessages->setModelColumn(ListFieldsColumn);
    }

    void setDatabaseName(const QString &path) { m_databaseName = path; }
    [[nodiscard]] const QString &databaseName() const { return m_databaseName; }
    void setRecordSource(const QString &sql) { m_recordSource = sql; }

    /// Re-reads the rows; throws App::AppError with the engine's text when the
    /// file or the query fails, leaving the list empty.
    void Refresh()
    {
        if (m_databaseName.isEmpty()) {
            close();
            return;
        }
        if (!m_database || !m_database->isOpen() || m_openedName != m_databaseName) {
            close();
            std::unique_ptr<Database> database =
                OpenDatabase(m_databaseName, OpenMode::Shared, &DatabaseModule::messagesTableDef());
            m_database = std::move(database);
            m_openedName = m_databaseName;
        }
        if (m_recordSource.isEmpty())
            empty();
        else
            m_database->setQuery(m_model, m_recordSource);
    }

    [[nodiscard]] QSqlQueryModel &model() { return m_model; }
    /// The open file of the list; null while unbound.
    [[nodiscard]] Database *database() const { return m_database.get(); }

private:
    void close()
    {
        empty();
        m_database.reset();
        m_openedName.clear();
    }

    // Not QSqlQueryModel::clear(): that makes the model's next query on the
    // driver of the last one, and once its file was closed that driver is gone.
    void empty() { m_model.setQuery(QSqlQuery()); }

    QString m_databaseName;
    QString m_openedName;
    QString m_recordSource;
    LogListModel m_model;
    std::unique_ptr<Database> m_database;
};

LogListControl &dataLog(App::MainWindow &main)
{
    auto *control =
        main.findChild<LogListControl *>(QStringLiteral("dataLog"), Qt::FindDirectChildrenOnly);
    return control ? *control : *new LogListControl(main);
}

/// Discards an AddNew or Edit that did not reach Update(), on every way out.
class EditGuard
{
public:
    explicit EditGuard(Recordset &table)
        : m_table(table)
    {}
    ~EditGuard()
    {
        try {
            if (m_table.editMode() != Recordset::EditMode::None)
                m_table.CancelUpdate();
        } catch (...) {
            // The record set is unusable anyway; nothing was written.
        }
    }
    EditGuard(const EditGuard &) = delete;
    EditGuard &operator=(const EditGuard &) = delete;

private:
    Recordset &m_table;
};

/// The log's table, opened when it is not yet; null when it cannot be.
Recordset *logTable()
{
    DatabaseModule &module = databases();
    if (!module.LogTableOpen || !module.LogTable) {
        if (!module.OpenLogDatabase())
            return nullptr;
    }
    return module.LogTable.get();
}

/// The receipt state digit of the slip: the tag of lblReceiptStatus, 0 unless
/// it is 0, 1 or 2.
int slipReceiptState(const Ui::MainWindowLayout &ui)
{
    const QString tag = ui.lblReceiptStatus->property(App::Slip::TagProperty).toString().trimmed();
    bool ok = false;
    const int state = tag.toInt(&ok);
    return ok && state >= 0 && state <= 2 ? state : 0;
}

long writeLogRecord(App::MainWindow &main)
{
    const Ui::MainWindowLayout &ui = main.ui();
    const std::optional<QDateTime> sent = slipDateTime(ui.tbMsg[1]->text(), ui.tbMsg[2]->text());
    const int receiptState = slipReceiptState(ui);
    const QString messageId = ui.tbMsg[1]->property(App::Slip::TagProperty).toString();

    const App::Slip slip(ui);
    const Mail::SlipText text = slip.text();
    const QString to = leftCharacters(text.to, fieldSize(QStringLiteral("To")));
    const QString caller = leftCharacters(text.caller, fieldSize(QStringLiteral("Caller")));
    const QString company = leftCharacters(text.company, fieldSize(QStringLiteral("Company")));
    const QString phone = leftCharacters(text.phone, fieldSize(QStringLiteral("Phone")));
    const QString note = leftCharacters(text.message, fieldSize(QStringLiteral("Note")));
    QString action;
    for (int index = 0; index < Mail::ActionCount; ++index) {
        if (ui.chMsg[index]->isChecked())
            action += QChar(u'0' + index);
    }
    const int receiptRequested = ui.chkReturnReceipt->isChecked() ? 1 : 0;
    // The field holds 35 characters; a longer name is cut like the other texts
    // rather than failing the whole record.
    const QString sender = leftCharacters(ui.laBy->text(), fieldSize(QStringLiteral("Sender")));

    Recordset *table = logTable();
    if (!table)
        return 0;

    bool update = false;
    if (const std::optional<int> id = recordNumber(messageId)) {
        table->Seek(QStringLiteral("="), *id);
        if (!table->NoMatch()) {
            const QVariant stored = table->value(QStringLiteral("DateSent"));
            if (stored.isNull() || !stored.isValid()) {
                update = true;
            } else {
                // A slip without a valid date never matches a dated record.
                update = sent && storedDateTime(stored) == *sent &&
                         table->value(QStringLiteral("Caller")).toString() == caller;
            }
        }
    }

    const EditGuard guard(*table);
    if (update)
        table->Edit();
    else
        table->AddNew();
    table->setValue(QStringLiteral("DateSent"), sent ? QVariant(*sent) : QVariant());
    table->setValue(QStringLiteral("To"), to);
    table->setValue(QStringLiteral("Caller"), caller);
    table->setValue(QStringLiteral("Company"), company);
    table->setValue(QStringLiteral("Phone"), phone);
    table->setValue(QStringLiteral("Note"), note);
    table->setValue(QStringLiteral("Action"), action);
    table->setValue(QStringLiteral("Sender"), sender);
    table->setValue(QStringLiteral("ReceiptRequested"), receiptRequested);
    table->setValue(QStringLiteral("ReceiptAcknowledged"), receiptState);
    table->Update();

    table->setBookmark(table->LastModified());
    return table->value(QStringLiteral("ID")).toInt();
}

void showListFailure(const App::AppError &error)
{
    App::showMessage(QStringLiteral("Error Opening Message Log Database") + CrLf + CrLf +
                         error.description(),
                     PromptButtons::Ok, PromptIcon::Exclamation, App::AppTitle);
}

void showList(App::MainWindow &main, const QString &tail)
{
    DatabaseModule &module = databases();
    LogListControl &control = dataLog(main);
    if (!module.LogListBound || control.databaseName().isEmpty()) {
        if (!BindLogList(main))
            return;
    }
    control.setRecordSource(ListSelect + tail);
    try {
        control.Refresh();
    } catch (const App::AppError &error) {
        showListFailure(error);
        module.LogListBound = false;
    }
    QCoreApplication::processEvents();
}

void showIgnoreError(const QString &text)
{
    App::showMessage(text, PromptButtons::Ok, PromptIcon::Exclamation,
                     QStringLiteral("IgnoreMessage Error"));
}

QString selectedTabKey(const Ui::MainWindowLayout &ui)
{
    const int index = ui.tabMessages->currentIndex();
    return index < 0 ? QString() : ui.tabMessages->tabBar()->tabData(index).toString();
}

} // namespace

QString GeneralDateText(const QDateTime &dateTime)
{
    const QString date = QLocale().toString(dateTime.date(), QLocale::ShortFormat);
    const QString time = timeOfDayText(dateTime.time());
    return time.isEmpty() ? date : date + u' ' + time;
}

std::optional<QDateTime> slipDateTime(const QString &date, const QString &time)
{
    const std::optional<QDate> day = parseDate(date.trimmed());
    const std::optional<QTime> clock = parseTime(time.trimmed());
    if (!day || !clock || day->year() < 100 || day->year() > 9999)
        return std::nullopt;
    return QDateTime(*day, *clock);
}

long LogMessage(App::MainWindow &main, LogOccasion occasion)
{
    if (!Config::settings().MessageLogEnabled())
        return 0;
    if (occasion == LogOccasion::Sending)
        return writeLogRecord(main);
    try {
        return writeLogRecord(main);
    } catch (const App::AppError &error) {
        App::showMessage(
            QStringLiteral("Error Writing Message Log") + CrLf + CrLf + error.description(),
            PromptButtons::Ok, PromptIcon::Exclamation, QStringLiteral("Database Error"));
        return 0;
    }
}

bool AcknowledgeReceipt(const QString &messageId)
{
    if (!Config::settings().MessageLogEnabled())
        return false;
    const std::optional<int> id = recordNumber(messageId);
    if (!id)
        return true;
    Recordset *table = logTable();
    if (!table)
        return false;
    table->Seek(QStringLiteral("="), *id);
    if (table->NoMatch())
        return true;
    {
        const EditGuard guard(*table);
        table->Edit();
        table->setValue(QStringLiteral("ReceiptAcknowledged"), 1);
        table->Update();
    }
    Idle();
    return true;
}

void IgnoreMessage(App::MainWindow &main)
{
    const std::optional<int> id =
        recordNumber(main.ui().tbMsg[1]->property(App::Slip::TagProperty).toString());
    if (!id) {
        showIgnoreError(QStringLiteral("Invalid Message ID.  Cannot update record"));
        return;
    }
    Recordset *table = logTable();
    if (!table)
        return;
    try {
        table->Seek(QStringLiteral("="), *id);
        if (table->NoMatch()) {
            showIgnoreError(
                QStringLiteral("Database Error Finding Message.  Cannot update record"));
            return;
        }
        const EditGuard guard(*table);
        table->Edit();
        table->setValue(QStringLiteral("ReceiptAcknowledged"), 2);
        table->Update();
    } catch (const App::AppError &error) {
        showIgnoreError(QStringLiteral("Database Error Updating Message.  Cannot update record") +
                        CrLf + CrLf + error.description());
        return;
    }
    Idle();
    QCoreApplication::processEvents();
    main.ClearMessage();
    ShowReceiptList(main);
}

void ShowLoggedMessage(App::MainWindow &main)
{
    main.ClearMessage();
    Ui::MainWindowLayout &ui = main.ui();
    LogListControl &control = dataLog(main);
    const QModelIndex picked = ui.dblstMessages->currentIndex();
    if (!picked.isValid() || !control.database())
        return;
    const QVariant id = control.model().index(picked.row(), IdColumn).data();

    QVariantMap record;
    try {
        std::unique_ptr<Recordset> messages = control.database()->OpenRecordset(
            QStringLiteral("Messages"), QStringLiteral("PrimaryKey"));
        messages->Seek(QStringLiteral("="), id);
        if (messages->NoMatch())
            return;
        for (const Field &field : messages->tableDef().fields)
            record.insert(field.name, messages->value(field.name));
    } catch (const App::AppError &error) {
        showListFailure(error);
        return;
    }

    App::Slip(ui).setLogId(record.value(QStringLiteral("ID")).toString());
    const QDateTime sent = storedDateTime(record.value(QStringLiteral("DateSent")));
    if (sent.isValid()) {
        // Date and time are written apart, so a date form with blanks of its
        // own and a time with an AM/PM marker both come back whole.
        ui.setMessageFieldText(1, QLocale().toString(sent.date(), QLocale::ShortFormat));
        ui.setMessageFieldText(2, timeOfDayText(sent.time()));
    }
    ui.setMessageFieldText(3, record.value(QStringLiteral("To")).toString());
    ui.setMessageFieldText(4, record.value(QStringLiteral("Caller")).toString());
    ui.setMessageFieldText(5, record.value(QStringLiteral("Company")).toString());
    ui.setMessageFieldText(6, record.value(QStringLiteral("Phone")).toString());
    ui.setMessageFieldText(
        7, record.value(QStringLiteral("Note")).toString().replace(CrLf, QStringLiteral("\n")));
    ui.laBy->setText(record.value(QStringLiteral("Sender")).toString());

    {
        const QScopedValueRollback settingChecks(App::globals().SettingChecks, true);
        for (const QChar digit : record.value(QStringLiteral("Action")).toString()) {
            if (digit >= u'0' && digit <= u'9')
                ui.chMsg[digit.digitValue()]->setChecked(true);
        }
    }

    if (record.value(QStringLiteral("ReceiptRequested")).toInt() == 1) {
        ui.chkReturnReceipt->setChecked(true);
        if (selectedTabKey(ui) == ReceiptTabKey) {
            ui.lblReceiptStatus->hide();
            ui.cmdIgnore->show();
        }
        const QVariant state = record.value(QStringLiteral("ReceiptAcknowledged"));
        const int value = state.isNull() ? 0 : state.toInt();
        if (value == 1) {
            ui.lblReceiptStatus->setText(QStringLiteral("(Received)"));
            ui.lblReceiptStatus->setProperty(App::Slip::TagProperty, QStringLiteral("1"));
        } else if (value == 2) {
            ui.lblReceiptStatus->setProperty(App::Slip::TagProperty, QStringLiteral("2"));
            ui.lblReceiptStatus->setText(QStringLiteral("(Ignore)"));
        } else {
            ui.lblReceiptStatus->setText(QStringLiteral("(Not Received)"));
            ui.lblReceiptStatus->setProperty(App::Slip::TagProperty, QStringLiteral("0"));
        }
    } else {
        ui.chkReturnReceipt->setChecked(false);
    }
}

void ShowMessageLog(App::MainWindow &main)
{
    showList(main, MessageLogTail);
}

void ShowReceiptList(App::MainWindow &main)
{
    showList(main, ReceiptListTail);
}

bool BindLogList(App::MainWindow &main)
{
    DatabaseModule &module = databases();
    const QString path = Config::settings().MessageLog();
    if (!QFileInfo(path).isFile()) {
        const App::PromptAnswer answer = App::showMessage(
            QStringLiteral(
                "The Log Database Could Not Be Found.  Should A New Database Be Created?"),
            PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("Data Access Error"));
        if (answer != App::PromptAnswer::Yes) {
            module.LogListBound = false;
            return false;
        }
        if (!module.CreateLogDatabase(path)) {
            Config::settings().setMessageLogEnabled(false);
            module.LogListBound = false;
            return false;
        }
    }
    dataLog(main).setDatabaseName(path);
    module.LogListBound = true;
    return true;
}

void RefreshLogList(App::MainWindow &main)
{
    DatabaseModule &module = databases();
    if (!module.LogListBound)
        return;
    LogListControl &control = dataLog(main);
    control.setDatabaseName(Config::settings().MessageLog());
    try {
        control.Refresh();
    } catch (const App::AppError &error) {
        showListFailure(error);
        module.LogListBound = false;
    }
}

void UnbindLogList(App::MainWindow &main)
{
    LogListControl &control = dataLog(main);
    control.setDatabaseName(QString());
    control.Refresh();
    databases().LogListBound = false;
}

} // namespace Telvora::Data
