#pragma once

#include <QObject>

class TForm1;

// Script files: importing a file into the code editor ("导入脚本", as a new script when the
// editor holds code and the user wants one) and exporting the editor's text ("导出脚本").
class ScriptFiles : public QObject
{
public:
    explicit ScriptFiles(TForm1& form);

    // The whole import: the question, the file dialog, the file into the editor.
    void importFile();
    // The whole export: the file dialog, then the editor's text into the file.
    void exportFile();

    // Before the import's dialog: false when it must not be shown.
    bool FileOpen1BeforeExecute();
    void FileOpen1Accept();
    void FileSaveAs1BeforeExecute();
    void FileSaveAs1Accept();

private:
    TForm1& m_form;
};
