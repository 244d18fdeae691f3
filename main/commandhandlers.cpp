// Which code each command runs, in one table: a row per action (by the action's name) and per
// menu entry or tool button that runs no action (by its own name). Entries that run an action
// are listed with it in commandtable.cpp; when a command may run is decided in
// form1_commands.cpp (the record commands) and form1_editcommands.cpp (the text box commands).

#include "action.h"
#include "commandfocus.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/textboxsearch.h"
#include "dialogs/textboxtarget.h"
#include "form1.h"
#include "namingcommands.h"
#include "previewpane.h"
#include "recordsession.h"
#include "scriptfiles.h"
#include "searchpane.h"

#include <utility>

void TForm1::wireCommandHandlers()
{
    // The edit commands act on the text box the command serves, when there is one.
    const auto onTextBox = [this](const std::function<void(TextBoxTarget&)>& run) {
        return [this, run] {
            TextBoxTarget target = TextBoxTarget::of(m_commandFocus->widget());
            if (target.exists())
                run(target);
        };
    };
    const std::pair<const char*, std::function<void()>> handlers[] = {
        // 管理功能
        {"ToolButton1", [this] { m_namingCommands->ToolButton1Click(); }},
        {"N2", [this] { m_namingCommands->ToolButton1Click(); }},
        {"N16", [this] { m_namingCommands->ToolButton1Click(); }},
        {"ToolButton2", [this] { m_namingCommands->ToolButton2Click(); }},
        {"N3", [this] { m_namingCommands->ToolButton2Click(); }},
        {"N17", [this] { m_namingCommands->ToolButton2Click(); }},
        {"ToolButton3", [this] { m_namingCommands->ToolButton3Click(); }},
        {"N4", [this] { m_namingCommands->ToolButton3Click(); }},
        {"N18", [this] { m_namingCommands->ToolButton3Click(); }},
        {"N22", [this] { m_namingCommands->N22Click(); }},
        {"DataSetInsert1", [this] { m_recordSession->DataSetInsert1Execute(); }},
        {"DataSetDelete1", [this] { m_recordSession->DataSetDelete1Execute(); }},
        {"DataSetPost1", [this] { m_recordSession->DataSetPost1Execute(); }},
        {"DataSetCancel1", [this] { m_recordSession->DataSetCancel1Execute(); }},
        {"RestoreBackup1", [this] { RestoreBackup1Click(); }},
        // "退出系统(&X)" closes the main window, which ends the program without saving.
        {"N9", [this] { close(); }},
        // 脚本处理
        {"FileOpen1", [this] { m_scriptFiles->importFile(); }},
        {"ActIFnet", [this] { ActIFnetExecute(); }},
        {"FileSaveAs1", [this] { m_scriptFiles->exportFile(); }},
        {"N14", [this] { m_previewPane->N14Click(); }},
        {"ActIE", [this] { m_previewPane->ActIEExecute(); }},
        // 代码编辑
        {"EditUndo1", onTextBox(&TextBoxTarget::undo)},
        {"EditCopy1", onTextBox(&TextBoxTarget::copy)},
        {"EditCut1", onTextBox(&TextBoxTarget::cut)},
        {"EditPaste1", onTextBox(&TextBoxTarget::paste)},
        {"EditSelectAll1", onTextBox(&TextBoxTarget::selectAll)},
        {"EditDelete1", onTextBox(&TextBoxTarget::deleteSelection)},
        {"SearchFind1", onTextBox([this](TextBoxTarget& box) { FindDialog1->bindTo(box.widget()); })},
        {"SearchFindNext1",
            onTextBox([this](TextBoxTarget& box) { TextBoxSearch::findNext(box, FindDialog1->request()); })},
        {"SearchReplace1", onTextBox([this](TextBoxTarget& box) { ReplaceDialog1->bindTo(box.widget()); })},
        // 帮助
        {"N15", [this] { N15Click(); }},
        {"Actabout", [this] { ActaboutExecute(); }},
        // The search results' pop-up menu
        {"N35", [this] { m_searchPane->N35Click(); }},
        {"N40", [this] { m_searchPane->N40Click(); }},
    };
    for (const auto& [name, run] : handlers) {
        const QString command = QString::fromLatin1(name);
        if (Action* action = ActionList1->find(command))
            action->setHandler(run);
        else
            m_commandHandlers.insert(command, run);
    }
}
