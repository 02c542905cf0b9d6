// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dataoptionsdialog.h"

#include "app/apperror.h"
#include "app/mainwindow.h"
#include "app/prompt.h"
#include "app/windowplacement.h"
#include "data/databases.h"
#include "data/messagelog.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <exception>

namespace Telvora::App {

namespace {

/// "Description|pattern" as a file dialog's name filter: the description when
/// it already ends in the pattern in brackets, else both.
QString nameFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar).trimmed();
    const QString pattern = filter.mid(bar + 1).trimmed();
    if (description.endsWith(u'(' + pattern + u')'))
        return description;
    return description + QStringLiteral(" (") + pattern + u')';
}

std::optional<QString> chooseWithFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The database need not exist yet: OK offers to create it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(nameFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFile.isEmpty()) {
        const QFileInfo initial(request.initialFile);
        if (initial.dir().exists())
            dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(files.constFirst());
}

FileChooser &installedChooser()
{
    static FileChooser chooser;
    return chooser;
}

/// Two path texts name the same database file: the same text, or two existing
/// names of one file. File names are case-sensitive here, so a path that
/// differs only in letter case names another file.
bool samePath(const QString &first, const QString &second)
{
    if (first == second)
        return true;
    const QFileInfo a(first);
    const QFileInfo b(second);
    return a.exists() && b.exists() && a.canonicalFilePath() == b.canonicalFilePath();
}

bool fileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

const QString DataAccessError = QStringLiteral("Data Access Error");

} // namespace

const FileChooser &fileChooser()
{
    static const FileChooser fileDialog = chooseWithFileDialog;
    const FileChooser &installed = installedChooser();
    return installed ? installed : fileDialog;
}

FileChooser installFileChooser(FileChooser chooser)
{
    FileChooser previous = std::move(installedChooser());
    installedChooser() = std::move(chooser);
    return previous;
}

DataOptionsDialog::DataOptionsDialog(MainWindow &main)
    : QDialog(&main)
    , m_main(main)
{
    m_ui.setupUi(this);
    setModal(true);

    connect(m_ui.TabStrip1, &QTabWidget::currentChanged, this,
            [this](int index) { TabStrip1_Click(index); });
    connect(m_ui.cmdBrowse, &QPushButton::clicked, this, [this] {
        browse(m_ui.txtDirectory,
               {QString(), QStringLiteral("Select Caller Search Database (TELVORA.MDB)"),
                QStringLiteral("Caller Search(*.mdb)|*.mdb"), QStringLiteral("mdb")});
    });
    connect(m_ui.cmdBrowseLog, &QPushButton::clicked, this, [this] {
        browse(m_ui.txtLogFile,
               {QString(), QStringLiteral("Select Message Log Database (MSGLOG.MDB)"),
                QStringLiteral("Message Log (*.mdb)|*.mdb"), QStringLiteral("mdb")});
    });
    connect(m_ui.cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_ui.cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void DataOptionsDialog::Form_Load()
{
    m_ui.lblPrompt->setText(
        QStringLiteral("Caller Search uses type-ahead searching on a database of previous ") +
        QStringLiteral("callers to auto-fill the name, company and phone number. "));
    m_ui.picTabFrames[1]->move(m_ui.picTabFrames[0]->pos());
    try {
        const Config::Settings &settings = Config::settings();
        m_ui.chDataEnabled->setChecked(settings.CallerEnabled());
        m_ui.txtDirectory->setText(settings.CallerMDB());
        m_ui.chkMessageLogEnabled->setChecked(settings.MessageLogEnabled());
        m_ui.txtLogFile->setText(settings.MessageLog());
    } catch (const std::exception &) {
        // A setting that cannot be read leaves its control as designed.
    }
    PlaceNearMain(*this, m_main);
}

void DataOptionsDialog::TabStrip1_Click(int index)
{
    m_ui.picTabFrames[0]->setVisible(index == 0);
    m_ui.picTabFrames[1]->setVisible(index == 1);
}

void DataOptionsDialog::browse(QLineEdit *box, const FileDialogRequest &request)
{
    try {
        FileDialogRequest settings = request;
        settings.initialFile = box->text();
        const std::optional<QString> chosen = fileChooser()(this, settings);
        if (!chosen)
            return;
        const QString name = chosen->trimmed();
        if (!name.isEmpty())
            box->setText(name);
    } catch (const std::exception &) {
        // Whatever went wrong, the path box keeps its text.
    }
}

bool DataOptionsDialog::CheckLog()
{
    Config::Settings &settings = Config::settings();
    const bool enabled = m_ui.chkMessageLogEnabled->isChecked();
    const QString path = m_ui.txtLogFile->text();
    settings.setMessageLogEnabled(enabled);
    if (!enabled)
        return true;

    // Logging needs a file to log to: without a path it stays off, as caller
    // search does without one.
    if (path.isEmpty()) {
        settings.setMessageLogEnabled(false);
        return true;
    }

    Data::DatabaseModule &databases = Data::databases();
    const auto fail = [&settings] {
        settings.setMessageLogEnabled(false);
        return false;
    };
    if (!databases.CheckDatabaseEngine())
        return fail();
    if (!fileExists(path)) {
        const PromptAnswer answer =
            showMessage(QStringLiteral("The Message Log Database Could Not Be Found.  Should A "
                                       "New Database Be Created?"),
                        PromptButtons::YesNo, PromptIcon::Question, DataAccessError);
        if (answer != PromptAnswer::Yes)
            return fail();
        databases.CloseLogDatabase();
        if (!databases.CreateLogDatabase(path))
            return fail();
    }
    if (!samePath(path, settings.MessageLog())) {
        settings.setMessageLog(path);
        databases.CloseLogDatabase();
        (void)databases.OpenLogDatabase();
        Data::RefreshLogList(m_main);
    }
    return true;
}

void DataOptionsDialog::cmdOK_Click()
{
    try {
        if (!CheckLog()) {
            failureExit();
            return;
        }

        Config::Settings &settings = Config::settings();
        Data::DatabaseModule &databases = Data::databases();
        bool callerEnabled = m_ui.chDataEnabled->isChecked();
        settings.setCallerEnabled(callerEnabled);
        if (callerEnabled && !databases.CheckDatabaseEngine()) {
            failureExit();
            return;
        }

        const QString path = m_ui.txtDirectory->text();
        bool pathChanged = false;
        if (!path.isEmpty()) {
            if (!samePath(path, settings.CallerMDB())) {
                settings.setCallerMDB(path);
                pathChanged = true;
            }
        } else {
            callerEnabled = false;
            settings.setCallerEnabled(false);
            settings.setCallerMDB(QString());
        }

        if (callerEnabled) {
            if (!fileExists(settings.CallerMDB())) {
                const PromptAnswer answer =
                    showMessage(QStringLiteral("The Caller Database Could Not Be Found.  Should A "
                                               "New Database Be Created?"),
                                PromptButtons::YesNo, PromptIcon::Question, DataAccessError);
                if (answer != PromptAnswer::Yes) {
                    failureExit();
                    return;
                }
                databases.CloseCallerDatabase();
                if (!databases.CreateCallerDatabase()) {
                    failureExit();
                    return;
                }
            }
            if (pathChanged) {
                databases.CloseCallerDatabase();
                databases.OpenCallerDatabase();
            }
        }
        accept();
    } catch (const AppError &error) {
        showMessage(error.description(), PromptButtons::Ok, PromptIcon::Exclamation, AppTitle);
        failureExit();
    } catch (const std::exception &error) {
        showMessage(QString::fromLocal8Bit(error.what()), PromptButtons::Ok,
                    PromptIcon::Exclamation, AppTitle);
        failureExit();
    }
}

void DataOptionsDialog::failureExit()
{
    Config::settings().setCallerEnabled(false);
    m_ui.chDataEnabled->setChecked(false);
    reject();
}

} // namespace Telvora::App
