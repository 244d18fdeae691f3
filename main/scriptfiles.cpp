#include "scriptfiles.h"

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

ScriptFiles::ScriptFiles(TForm1& form)
    : QObject(&form)
    , m_form(form)
{ }

void ScriptFiles::importFile()
{
    if (FileOpen1BeforeExecute() && m_form.FileOpen1Dialog->execute())
        FileOpen1Accept();
}

void ScriptFiles::exportFile()
{
    FileSaveAs1BeforeExecute();
    if (m_form.FileSaveAs1Dialog->execute())
        FileSaveAs1Accept();
}

bool ScriptFiles::FileOpen1BeforeExecute()
{
    m_form.FileOpen1Dialog->setFilter(kFileFilter);
    if (m_form.DBMemo2->text().isEmpty())
        return true;
    if (!MessageBoxes::confirm(QStringLiteral("导入外部文件将破坏当前脚本内容，要新创建脚本文件吗?")))
        return true;
    // A new script is filed under the first category; without one it could never be saved.
    if (m_form.Treeclass->topLevelItemCount() == 0) {
        MessageBoxes::information(QStringLiteral("脚本库中还没有类别，请先添加类别再导入新脚本"));
        return false;
    }
    const QString category = m_form.Treeclass->topLevelItem(0)->text(0);
    if (!m_form.storePendingChanges())
        return false;
    // A disabled add command leaves the file to the current script; a failed one stops here.
    if (!m_form.ActionList1->find(QStringLiteral("DataSetInsert1"))->execute())
        return true;
    if (m_form.ADOQuery2->state() != DataSetState::Insert || m_form.ADOQuery2->isModified())
        return false;
    m_form.ADOQuery2->setFieldValue(QStringLiteral("cjs_type"), category);
    m_form.ADOQuery2->setFieldValue(QStringLiteral("cjs_name"), kImportedScriptName);
    return true;
}

void ScriptFiles::FileOpen1Accept()
{
    const QString text = ScriptFile::read(m_form.FileOpen1Dialog->fileName());
    if (text == m_form.DBMemo2->text())
        return;
    // As with typing: the record is changed only in edit mode, entered first when browsing.
    if (!m_form.ADOQuery2->isChanging())
        m_form.ADOQuery2->edit();
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // One edit step of the editor's own, so that Undo brings the previous code back.
    QTextCursor cursor(m_form.DBMemo2->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(shown);
    cursor.endEditBlock();
}

void ScriptFiles::FileSaveAs1BeforeExecute()
{
    m_form.FileSaveAs1Dialog->setFilter(kFileFilter);
}

void ScriptFiles::FileSaveAs1Accept()
{
    ScriptFile::write(m_form.FileSaveAs1Dialog->fileName(), m_form.DBMemo2->text());
}
