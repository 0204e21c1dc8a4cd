// Qt file dialogs, message boxes and the debug log.
#include "qt_host.h"

#include <QFileDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

QStringList qtNameFilters(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const FileFilter& f : filters) {
        QString description = QString::fromStdString(f.description).trimmed();
        QString patterns = QString::fromStdString(f.pattern).replace(';', ' ').simplified();
        // "*.*" means every file; on this platform many names have no dot.
        if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
        // QFileDialog takes the patterns from the last parentheses. A description that
        // already names its own patterns ("Text Files (*.TXT)") is shown as it is;
        // matching ignores case.
        qsizetype open = description.lastIndexOf('(');
        if (description.endsWith(')') && open >= 0) {
            QString named = description.mid(open + 1, description.size() - open - 2).simplified();
            if (named.compare(patterns, Qt::CaseInsensitive) == 0) {
                out << description;
                continue;
            }
            description = description.left(open).trimmed();
        }
        out << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return out;
}

bool QtFileChooser::chooseFile(std::string& path, const std::vector<FileFilter>& filters,
                               const std::string& defaultExtension, ChooseMode mode, int* selectedFilter) {
    QFileDialog dialog(owner);
    const QStringList names = qtNameFilters(filters);
    dialog.setNameFilters(names);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (mode == ChooseMode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, mode == ChooseMode::Save);
    }
    QString ext = QString::fromStdString(defaultExtension);
    if (ext.startsWith('.')) ext.remove(0, 1);
    if (!ext.isEmpty()) dialog.setDefaultSuffix(ext);
    if (!path.empty()) dialog.selectFile(QString::fromStdString(path));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
    path = chosen.first().toStdString();
    if (selectedFilter) {
        qsizetype index = names.indexOf(dialog.selectedNameFilter());
        *selectedFilter = index < 0 ? 1 : static_cast<int>(index) + 1;
    }
    return true;
}

void QtMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok, owner);
    box.exec();
}

StderrDebugLog::StderrDebugLog() : enabled(std::getenv("TOVRIN_DEBUG") != nullptr) {}

void StderrDebugLog::write(const std::string& text) {
    if (!enabled) return;
    std::fputs(text.c_str(), stderr);
    if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}
