#include "scriptfiles.h"

#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbmemo.h"
#include "dialogs/scriptfiledialog.h"
#include "store/query.h"
#include "store/scriptfile.h"
#include "widgets/messageboxes.h"

#include <QTextCursor>

namespace {
const QString kFileFilter
    = QStringLiteral("网页文件|*.htm;*.html|脚本文件|*.js;*.vbs|文本文件|*.txt|所有文件|*.*");
const QString kImportedScriptName = QStringLiteral("新的导入文件");
} // namespace

ScriptFiles::ScriptFiles(const Parts& parts, CurrentScript& current, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
{ }

void ScriptFiles::makeDialogs(QWidget* window)
{
    m_openDialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Open, QStringLiteral("FileOpen1Dialog"), window);
    m_saveDialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Save, QStringLiteral("FileSaveAs1Dialog"), window);
}

void ScriptFiles::importFile()
{
    if (prepareImport() && m_openDialog->execute())
        readChosenFile();
}

void ScriptFiles::exportFile()
{
    m_saveDialog->setFilter(kFileFilter);
    if (m_saveDialog->execute())
        writeChosenFile();
}

bool ScriptFiles::prepareImport()
{
    m_openDialog->setFilter(kFileFilter);
    if (m_parts.codeMemo->text().isEmpty())
        return true;
    if (!MessageBoxes::confirm(QStringLiteral("导入外部文件将破坏当前脚本内容，要新创建脚本文件吗?")))
        return true;
    // A new script is filed under the first category; without one it could never be saved.
    if (m_parts.tree->topLevelItemCount() == 0) {
        MessageBoxes::information(QStringLiteral("脚本库中还没有类别，请先添加类别再导入新脚本"));
        return false;
    }
    const QString category = m_parts.tree->topLevelItem(0)->text(0);
    if (!m_current.storePendingChanges())
        return false;
    // A disabled add command leaves the file to the current script; a failed one stops here.
    if (!m_parts.addScript())
        return true;
    if (m_current.record()->state() != DataSetState::Insert || m_current.record()->isModified())
        return false;
    m_current.record()->setFieldValue(QStringLiteral("cjs_type"), category);
    m_current.record()->setFieldValue(QStringLiteral("cjs_name"), kImportedScriptName);
    return true;
}

void ScriptFiles::readChosenFile()
{
    const QString text = ScriptFile::read(m_openDialog->fileName());
    if (text == m_parts.codeMemo->text())
        return;
    // As with typing: the record is changed only in edit mode, entered first when browsing.
    if (!m_current.record()->isChanging())
        m_current.record()->edit();
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // One edit step of the editor's own, so that Undo brings the previous code back.
    QTextCursor cursor(m_parts.codeMemo->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(shown);
    cursor.endEditBlock();
}

void ScriptFiles::writeChosenFile()
{
    ScriptFile::write(m_saveDialog->fileName(), m_parts.codeMemo->text());
}
