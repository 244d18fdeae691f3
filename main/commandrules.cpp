#include "commandrules.h"

#include "action.h"
#include "commandfocus.h"
#include "dbctrls/datasource.h"
#include "dialogs/finddialog.h"
#include "dialogs/textboxtarget.h"
#include "form1.h"
#include "store/query.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <functional>

namespace {
void recordRules(TForm1& form)
{
    Query* current = form.ADOQuery2;
    const auto openAndChangeable = [current] { return current->isActive() && current->canModify(); };
    const auto editing = [current] { return current->isChanging(); };
    form.ActionList1->find(QStringLiteral("DataSetInsert1"))->setUpdateRule(openAndChangeable);
    form.ActionList1->find(QStringLiteral("DataSetDelete1"))->setUpdateRule([current, openAndChangeable] {
        return openAndChangeable() && (!current->isEmpty() || current->state() == DataSetState::Insert);
    });
    form.ActionList1->find(QStringLiteral("DataSetPost1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
    form.ActionList1->find(QStringLiteral("DataSetCancel1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
}

// Each text box command serves whichever text box has the focus, or had it when a menu took it.
void textBoxRules(TForm1& form, const CommandFocus& focus)
{
    // Each runs only when there is a text box to serve and the rule holds for it.
    const auto rule
        = [&form, focus = &focus](const char* name, const std::function<bool(const TextBoxTarget&)>& holds) {
              form.ActionList1->find(QString::fromLatin1(name))->setUpdateRule([focus, holds] {
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
    rule("SearchFindNext1", [find = form.FindDialog1](const TextBoxTarget& box) {
        return !box.isEmpty() && !find->findText().isEmpty();
    });
}
} // namespace

void CommandRules::apply(TForm1& form, const CommandFocus& focus)
{
    recordRules(form);
    textBoxRules(form, focus);
}
