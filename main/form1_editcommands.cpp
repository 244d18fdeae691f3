// When the text box commands may run: undo, the clipboard, select all, delete, and find and
// replace. Each serves whichever text box has the focus, or had it when a menu took it.

#include "action.h"
#include "commandfocus.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/textboxtarget.h"
#include "form1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void TForm1::configureEditCommands()
{
    FindDialog1 = new FindDialog(this);
    ReplaceDialog1 = new ReplaceDialog(this);

    // Each runs only when there is a text box to serve and the rule holds for it.
    const auto rule = [this](const char* name, const std::function<bool(const TextBoxTarget&)>& holds) {
        ActionList1->find(QString::fromLatin1(name))->setUpdateRule([this, holds] {
            const TextBoxTarget target = TextBoxTarget::of(m_commandFocus->widget());
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
    rule("SearchFindNext1",
        [this](const TextBoxTarget& box) { return !box.isEmpty() && !FindDialog1->findText().isEmpty(); });
}
