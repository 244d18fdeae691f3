// The code editor commands: undo, the clipboard, select all, delete, and find and replace. Each
// acts on whichever text box has the focus when it runs, or had it when a menu took it.

#include "action.h"
#include "commandfocus.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/textboxsearch.h"
#include "dialogs/textboxtarget.h"
#include "form1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void TForm1::configureEditCommands()
{
    FindDialog1 = new FindDialog(this);
    ReplaceDialog1 = new ReplaceDialog(this);

    auto* focus = new CommandFocus(this);
    const auto command = [this, focus](const char* name, std::function<bool(const TextBoxTarget&)> rule,
                             std::function<void(TextBoxTarget&)> run) {
        Action* action = ActionList1->find(QString::fromLatin1(name));
        action->setUpdateRule([rule, focus] {
            const TextBoxTarget target = TextBoxTarget::of(focus->widget());
            return target.exists() && rule(target);
        });
        action->setHandler([run, focus] {
            TextBoxTarget target = TextBoxTarget::of(focus->widget());
            if (target.exists())
                run(target);
        });
    };
    const auto hasSelection = [](const TextBoxTarget& box) { return box.hasSelection(); };
    const auto hasText = [](const TextBoxTarget& box) { return !box.isEmpty(); };

    command(
        "EditUndo1", [](const TextBoxTarget& box) { return box.canUndo(); },
        [](TextBoxTarget& box) { box.undo(); });
    command("EditCopy1", hasSelection, [](TextBoxTarget& box) { box.copy(); });
    command("EditCut1", hasSelection, [](TextBoxTarget& box) { box.cut(); });
    command(
        "EditPaste1",
        [](const TextBoxTarget&) {
            // Asked whenever the program goes idle: the clipboard's formats only, never its
            // content, which another program may have to send over.
            const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
            return clip && clip->hasText();
        },
        [](TextBoxTarget& box) { box.paste(); });
    command("EditSelectAll1", hasText, [](TextBoxTarget& box) { box.selectAll(); });
    command("EditDelete1", hasSelection, [](TextBoxTarget& box) { box.deleteSelection(); });
    command("SearchFind1", hasText, [this](TextBoxTarget& box) { FindDialog1->bindTo(box.widget()); });
    command("SearchReplace1", hasText, [this](TextBoxTarget& box) { ReplaceDialog1->bindTo(box.widget()); });

    // "Find Next" repeats the find dialog's last search on the focused box.
    command(
        "SearchFindNext1",
        [this](const TextBoxTarget& box) { return !box.isEmpty() && !FindDialog1->findText().isEmpty(); },
        [this](TextBoxTarget& box) { TextBoxSearch::findNext(box, FindDialog1->request()); });
}
