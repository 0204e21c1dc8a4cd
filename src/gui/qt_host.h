// The desktop program's answers to the core's host requests: Qt file dialogs for
// chooseFile, Qt message boxes, and debug output on stderr (only when the environment
// variable TOVRIN_DEBUG is set).
//
//   QtFileChooser files(&window);   m.host.files = &files;
//   QtMessageBoxes boxes(&window);  m.host.messages = &boxes;
//   StderrDebugLog log;             m.host.debug = &log;
#pragma once
#include <QString>
#include <QStringList>

#include "host/host.h"

class QWidget;

// "Description (*.a *.b)" entries for a QFileDialog, one per filter.
QStringList qtNameFilters(const std::vector<FileFilter>& filters);

struct QtFileChooser : FileChooser {
    explicit QtFileChooser(QWidget* owner) : owner(owner) {}
    bool chooseFile(std::string& path, const std::vector<FileFilter>& filters,
                    const std::string& defaultExtension, ChooseMode mode, int* selectedFilter) override;
    QWidget* owner;
};

struct QtMessageBoxes : MessageBoxes {
    explicit QtMessageBoxes(QWidget* owner) : owner(owner) {}
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
    QWidget* owner;
};

struct StderrDebugLog : DebugLog {
    StderrDebugLog();
    void write(const std::string& text) override;
    bool enabled;
};
