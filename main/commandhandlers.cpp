#include "commandhandlers.h"

#include "commandfocus.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/textboxsearch.h"
#include "dialogs/textboxtarget.h"
#include "librarybackups.h"
#include "namingcommands.h"
#include "previewpane.h"
#include "recordsession.h"
#include "scriptfiles.h"
#include "searchpane.h"
#include "sidewindows.h"

#include <QWidget>

CommandHandlers::Table CommandHandlers::table(const CommandFeatures& features)
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
    SideWindows* side = &features.sideWindows;
    const std::function<FindDialog*()> find = features.findDialog;
    const std::function<ReplaceDialog*()> replace = features.replaceDialog;
    QWidget* window = features.window;
    return {
        // 管理功能
        {QStringLiteral("ToolButton1"), [naming] { naming->askAndAddCategory(); }},
        {QStringLiteral("N2"), [naming] { naming->askAndAddCategory(); }},
        {QStringLiteral("N16"), [naming] { naming->askAndAddCategory(); }},
        {QStringLiteral("ToolButton2"), [naming] { naming->deleteSelectedCategory(); }},
        {QStringLiteral("N3"), [naming] { naming->deleteSelectedCategory(); }},
        {QStringLiteral("N17"), [naming] { naming->deleteSelectedCategory(); }},
        {QStringLiteral("ToolButton3"), [naming] { naming->renameSelectedCategory(); }},
        {QStringLiteral("N4"), [naming] { naming->renameSelectedCategory(); }},
        {QStringLiteral("N18"), [naming] { naming->renameSelectedCategory(); }},
        {QStringLiteral("N22"), [naming] { naming->editSelectedScriptName(); }},
        {QStringLiteral("DataSetInsert1"), [record] { record->addScript(); }},
        {QStringLiteral("DataSetDelete1"), [record] { record->deleteSelectedScript(); }},
        {QStringLiteral("DataSetPost1"), [record] { record->saveScript(); }},
        {QStringLiteral("DataSetCancel1"), [record] { record->abandonChanges(); }},
        {QStringLiteral("RestoreBackup1"), [backups] { backups->chooseAndRestore(); }},
        // "退出系统(&X)" closes the main window, which ends the program without saving.
        {QStringLiteral("N9"), [window] { window->close(); }},
        // 脚本处理
        {QStringLiteral("FileOpen1"), [files] { files->importFile(); }},
        {QStringLiteral("ActIFnet"), [side] { side->showImportSettings(); }},
        {QStringLiteral("FileSaveAs1"), [files] { files->exportFile(); }},
        {QStringLiteral("N14"), [preview] { preview->showQuickPreview(); }},
        {QStringLiteral("ActIE"), [preview] { preview->openInBrowser(); }},
        // 代码编辑
        {QStringLiteral("EditUndo1"), onTextBox(&TextBoxTarget::undo)},
        {QStringLiteral("EditCopy1"), onTextBox(&TextBoxTarget::copy)},
        {QStringLiteral("EditCut1"), onTextBox(&TextBoxTarget::cut)},
        {QStringLiteral("EditPaste1"), onTextBox(&TextBoxTarget::paste)},
        {QStringLiteral("EditSelectAll1"), onTextBox(&TextBoxTarget::selectAll)},
        {QStringLiteral("EditDelete1"), onTextBox(&TextBoxTarget::deleteSelection)},
        {QStringLiteral("SearchFind1"),
            onTextBox([find](TextBoxTarget& box) { find()->bindTo(box.widget()); })},
        {QStringLiteral("SearchFindNext1"),
            onTextBox([find](TextBoxTarget& box) { TextBoxSearch::findNext(box, find()->request()); })},
        {QStringLiteral("SearchReplace1"),
            onTextBox([replace](TextBoxTarget& box) { replace()->bindTo(box.widget()); })},
        // 帮助
        {QStringLiteral("N15"), [side] { side->openHelp(); }},
        {QStringLiteral("Actabout"), [side] { side->showAbout(); }},
        // The search results' pop-up menu
        {QStringLiteral("N35"), [search] { search->removeChosenResult(); }},
        {QStringLiteral("N40"), [search] { search->clearResults(); }},
    };
}
