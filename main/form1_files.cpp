// Script files: importing a file into the code editor and exporting the editor's text.

#include "action.h"
#include "categorytree.h"
#include "dbctrls/dbmemo.h"
#include "dialogs/scriptfiledialog.h"
#include "form1.h"
#include "store/query.h"
#include "store/scriptfile.h"
#include "widgets/messageboxes.h"

#include <QTextCursor>

namespace {
const QString kFileFilter
    = QStringLiteral("网页文件|*.htm;*.html|脚本文件|*.js;*.vbs|文本文件|*.txt|所有文件|*.*");
const QString kImportedScriptName = QStringLiteral("新的导入文件");
} // namespace

void TForm1::createFileDialogs()
{
    FileOpen1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Open, QStringLiteral("FileOpen1Dialog"), this);
    FileSaveAs1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Save, QStringLiteral("FileSaveAs1Dialog"), this);
}

bool TForm1::FileOpen1BeforeExecute()
{
    FileOpen1Dialog->setFilter(kFileFilter);
    if (DBMemo2->text().isEmpty())
        return true;
    if (!MessageBoxes::confirm(QStringLiteral("导入外部文件将破坏当前脚本内容，要新创建脚本文件吗?")))
        return true;
    // A new script is filed under the first category; without one it could never be saved.
    if (Treeclass->topLevelItemCount() == 0) {
        MessageBoxes::information(QStringLiteral("脚本库中还没有类别，请先添加类别再导入新脚本"));
        return false;
    }
    const QString category = Treeclass->topLevelItem(0)->text(0);
    if (!storePendingChanges())
        return false;
    // A disabled add command leaves the file to the current script; a failed one stops here.
    if (!ActionList1->find(QStringLiteral("DataSetInsert1"))->execute())
        return true;
    if (ADOQuery2->state() != DataSetState::Insert || ADOQuery2->isModified())
        return false;
    ADOQuery2->setFieldValue(QStringLiteral("cjs_type"), category);
    ADOQuery2->setFieldValue(QStringLiteral("cjs_name"), kImportedScriptName);
    return true;
}

void TForm1::FileOpen1Accept()
{
    const QString text = ScriptFile::read(FileOpen1Dialog->fileName());
    if (text == DBMemo2->text())
        return;
    // As with typing: the record is changed only in edit mode, entered first when browsing.
    if (!ADOQuery2->isChanging())
        ADOQuery2->edit();
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // One edit step of the editor's own, so that Undo brings the previous code back.
    QTextCursor cursor(DBMemo2->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(shown);
    cursor.endEditBlock();
}

void TForm1::FileSaveAs1BeforeExecute()
{
    FileSaveAs1Dialog->setFilter(kFileFilter);
}

void TForm1::FileSaveAs1Accept()
{
    ScriptFile::write(FileSaveAs1Dialog->fileName(), DBMemo2->text());
}
