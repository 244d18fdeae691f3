#include "commandrules.h"

#include "action.h"
#include "commandfocus.h"
#include "dbctrls/datasource.h"
#include "dialogs/finddialog.h"
#include "dialogs/textboxtarget.h"
#include "store/query.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <functional>

namespace {
void recordRules(ActionList& actions, const Query* current)
{
    const auto openAndChangeable = [current] { return current->isActive() && current->canModify(); };
    const auto editing = [current] { return current->isChanging(); };
    actions.find(QStringLiteral("DataSetInsert1"))->setUpdateRule(openAndChangeable);
    actions.find(QStringLiteral("DataSetDelete1"))->setUpdateRule([current, openAndChangeable] {
        return openAndChangeable() && (!current->isEmpty() || current->state() == DataSetState::Insert);
    });
    actions.find(QStringLiteral("DataSetPost1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
    actions.find(QStringLiteral("DataSetCancel1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
}

// Each text box command serves whichever text box has the focus, or had it when a menu took it.
void textBoxRules(ActionList& actions, const FindDialog& findDialog, const CommandFocus& focus)
{
    // Each runs only when there is a text box to serve and the rule holds for it.
    const auto rule = [&actions, focus = &focus](
                          const char* name, const std::function<bool(const TextBoxTarget&)>& holds) {
        actions.find(QString::fromLatin1(name))->setUpdateRule([focus, holds] {
            const TextBoxTarget target = TextBoxTarget::of(focus->widget());
            return target.exists() && holds(target);
        });
    };
    const auto hasSelection = [](const TextBoxTarget& box) { return box.hasSelection(); };
    const auto hasText = [](const TextBoxTarget& box) { return !box.isEmpty(); };

    rule("EditUndo1", [](const TextBoxTarget& box) { return box.canUndo(); });
    rule("EditCopy1", hasSelection);
    rule("EditCut1", hasSelection);
    rule("EditPaste1", [](const TextBoxTarget&) {
        // Asked whenever the program goes idle: the clipboard's formats only, never its
        // content, which another program may have to send over.
        const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
        return clip && clip->hasText();
    });
    rule("EditSelectAll1", hasText);
    rule("EditDelete1", hasSelection);
    rule("SearchFind1", hasText);
    rule("SearchReplace1", hasText);
    // "Find Next" repeats the find dialog's last search on the served box.
    rule("SearchFindNext1", [find = &findDialog](const TextBoxTarget& box) {
        return !box.isEmpty() && !find->findText().isEmpty();
    });
}
} // namespace

void CommandRules::apply(
    ActionList& actions, const Query& record, const FindDialog& findDialog, const CommandFocus& focus)
{
    recordRules(actions, &record);
    textBoxRules(actions, findDialog, focus);
}
