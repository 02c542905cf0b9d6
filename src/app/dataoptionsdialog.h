// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dataoptionsdialoglayout.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

namespace Telvora::App {

class MainWindow;

/// What a Browse button asks the file dialog for.
struct FileDialogRequest
{
    /// The file name the dialog starts with (the path box's text).
    QString initialFile;
    QString title;
    /// Description and pattern separated by a bar, as "Message Log (*.mdb)|*.mdb".
    QString filter;
    /// Added to a typed name without an extension, without its dot ("mdb").
    QString defaultSuffix;
};

/// Shows a file-open dialog for an existing directory, in which the file need
/// not exist yet. Returns the chosen file name, or nothing when the user
/// cancelled.
using FileChooser =
    std::function<std::optional<QString>(QWidget *parent, const FileDialogRequest &request)>;

/// The program-wide file chooser; until one is installed, a modal QFileDialog.
[[nodiscard]] const FileChooser &fileChooser();

/// Installs the program-wide file chooser (an empty one restores the file
/// dialog) and returns the previous one, so tests can answer file dialogs
/// without showing any.
FileChooser installFileChooser(FileChooser chooser);

/// The data options dialog `frmDataOptions`: switches caller search and message
/// logging on or off and names their database files. OK stores the settings
/// page by page, offers to create a missing file and reopens a file whose path
/// changed; every failure ends with caller search switched off and the dialog
/// closed. Shown modally from the main window's Tools menu.
class DataOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    /// Builds the dialog over the main window, shows the stored settings and
    /// places itself near the main window.
    explicit DataOptionsDialog(MainWindow &main);

    [[nodiscard]] Ui::DataOptionsDialogLayout &ui() { return m_ui; }

    /// Applies the message logging page: stores MessageLogEnabled and, while
    /// logging is on, checks the engine, offers to create a missing file and,
    /// when the path changed, stores it in MessageLog and reopens the log.
    /// Returns false, with logging switched off, when any of that fails or the
    /// user declines to create the file.
    [[nodiscard]] bool CheckLog();

private:
    void Form_Load();
    void TabStrip1_Click(int index);
    void browse(QLineEdit *box, const FileDialogRequest &request);
    void cmdOK_Click();
    void failureExit();

    MainWindow &m_main;
    Ui::DataOptionsDialogLayout m_ui;
};

} // namespace Telvora::App
