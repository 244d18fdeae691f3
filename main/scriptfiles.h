#pragma once

#include <QObject>

#include <functional>

class CategoryTree;
class CurrentScript;
class ScriptFileDialog;
class TDBMemo;
class QWidget;

// Script files: importing a file into the code editor ("导入脚本", as a new script when the
// editor holds code and the user wants one) and exporting the editor's text ("导出脚本").
class ScriptFiles : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        TDBMemo* codeMemo;
        CategoryTree* tree;
        // Runs the add command as the menu does: false when it is disabled.
        std::function<bool()> addScript;
    };

    ScriptFiles(const Parts& parts, CurrentScript& current, QObject* parent);

    // Makes the two file dialogs, owned by the window. They are made once the look is on: its walk
    // would take their controls for the window's own.
    void makeDialogs(QWidget* window);
    ScriptFileDialog* openDialog() const { return m_openDialog; }
    ScriptFileDialog* saveDialog() const { return m_saveDialog; }

    // The whole import: the question, the file dialog, the file into the editor.
    void importFile();
    // The whole export: the file dialog, then the editor's text into the file.
    void exportFile();

private:
    // Before the import's dialog: false when it must not be shown.
    bool prepareImport();
    void readChosenFile();
    void writeChosenFile();

    Parts m_parts;
    CurrentScript& m_current;
    ScriptFileDialog* m_openDialog = nullptr;
    ScriptFileDialog* m_saveDialog = nullptr;
};
