#include "commandhandlers.h"

#include "commandfocus.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/textboxsearch.h"
#include "dialogs/textboxtarget.h"
#include "form1.h"
#include "librarybackups.h"
#include "namingcommands.h"
#include "previewpane.h"
#include "recordsession.h"
#include "scriptfiles.h"
#include "searchpane.h"

CommandHandlers::Table CommandHandlers::table(TForm1& form, const CommandFeatures& features)
{
    // The edit commands act on the text box the command serves, when there is one.
    const CommandFocus* focus = &features.focus;
    const auto onTextBox = [focus](const std::function<void(TextBoxTarget&)>& run) {
        return [focus, run] {
            TextBoxTarget target = TextBoxTarget::of(focus->widget());
            if (target.exists())
                run(target);
        };
    };
    NamingCommands* naming = &features.naming;
    RecordSession* record = &features.record;
    ScriptFiles* files = &features.files;
    PreviewPane* preview = &features.preview;
    SearchPane* search = &features.search;
    LibraryBackups* backups = &features.backups;
    TForm1* window = &form;
    return {
        // 管理功能
        {QStringLiteral("ToolButton1"), [naming] { naming->ToolButton1Click(); }},
        {QStringLiteral("N2"), [naming] { naming->ToolButton1Click(); }},
        {QStringLiteral("N16"), [naming] { naming->ToolButton1Click(); }},
        {QStringLiteral("ToolButton2"), [naming] { naming->ToolButton2Click(); }},
        {QStringLiteral("N3"), [naming] { naming->ToolButton2Click(); }},
        {QStringLiteral("N17"), [naming] { naming->ToolButton2Click(); }},
        {QStringLiteral("ToolButton3"), [naming] { naming->ToolButton3Click(); }},
        {QStringLiteral("N4"), [naming] { naming->ToolButton3Click(); }},
        {QStringLiteral("N18"), [naming] { naming->ToolButton3Click(); }},
        {QStringLiteral("N22"), [naming] { naming->N22Click(); }},
        {QStringLiteral("DataSetInsert1"), [record] { record->DataSetInsert1Execute(); }},
        {QStringLiteral("DataSetDelete1"), [record] { record->DataSetDelete1Execute(); }},
        {QStringLiteral("DataSetPost1"), [record] { record->DataSetPost1Execute(); }},
        {QStringLiteral("DataSetCancel1"), [record] { record->DataSetCancel1Execute(); }},
        {QStringLiteral("RestoreBackup1"), [backups] { backups->RestoreBackup1Click(); }},
        // "退出系统(&X)" closes the main window, which ends the program without saving.
        {QStringLiteral("N9"), [window] { window->close(); }},
        // 脚本处理
        {QStringLiteral("FileOpen1"), [files] { files->importFile(); }},
        {QStringLiteral("ActIFnet"), [window] { window->ActIFnetExecute(); }},
        {QStringLiteral("FileSaveAs1"), [files] { files->exportFile(); }},
        {QStringLiteral("N14"), [preview] { preview->N14Click(); }},
        {QStringLiteral("ActIE"), [preview] { preview->ActIEExecute(); }},
        // 代码编辑
        {QStringLiteral("EditUndo1"), onTextBox(&TextBoxTarget::undo)},
        {QStringLiteral("EditCopy1"), onTextBox(&TextBoxTarget::copy)},
        {QStringLiteral("EditCut1"), onTextBox(&TextBoxTarget::cut)},
        {QStringLiteral("EditPaste1"), onTextBox(&TextBoxTarget::paste)},
        {QStringLiteral("EditSelectAll1"), onTextBox(&TextBoxTarget::selectAll)},
        {QStringLiteral("EditDelete1"), onTextBox(&TextBoxTarget::deleteSelection)},
        {QStringLiteral("SearchFind1"),
            onTextBox([window](TextBoxTarget& box) { window->FindDialog1->bindTo(box.widget()); })},
        {QStringLiteral("SearchFindNext1"), onTextBox([window](TextBoxTarget& box) {
             TextBoxSearch::findNext(box, window->FindDialog1->request());
         })},
        {QStringLiteral("SearchReplace1"),
            onTextBox([window](TextBoxTarget& box) { window->ReplaceDialog1->bindTo(box.widget()); })},
        // 帮助
        {QStringLiteral("N15"), [window] { window->N15Click(); }},
        {QStringLiteral("Actabout"), [window] { window->ActaboutExecute(); }},
        // The search results' pop-up menu
        {QStringLiteral("N35"), [search] { search->N35Click(); }},
        {QStringLiteral("N40"), [search] { search->N40Click(); }},
    };
}
