// The category tree: the deferred load's timer, the selection handler and name look-up.

#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "form1.h"
#include "startupload.h"
#include "store/query.h"
#include "widgets/statusbar.h"

#include <QScopedValueRollback>
#include <QTimer>

#include <utility>

namespace {
const QString kCountSuffix = QStringLiteral("脚本数:");

// The pre-order position of the first node of the level that matches, or -1.
template<typename Matches> int findPosition(const CategoryTree* tree, bool scriptLevel, Matches matches)
{
    int position = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const TreeNode* category = tree->topLevelItem(i);
        if (!scriptLevel && matches(category))
            return position;
        ++position;
        if (!scriptLevel) {
            position += category->childCount();
            continue;
        }
        for (int j = 0; j < category->childCount(); ++j, ++position) {
            if (matches(category->child(j)))
                return position;
        }
    }
    return -1;
}
} // namespace

void TForm1::Timer1Timer()
{
    Timer1->stop();
    m_startupLoad->loadTree();
    Timer1->deleteLater();
    Timer1 = nullptr;
    if (isVisible())
        m_startupLoad->reportScriptsOutsideTheTree();
    restoreLoadedPlaces();
    guardLibrary();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    for (const QString& notice : std::exchange(m_pendingNotices, {}))
        Stb->showNotice(notice);
    m_startupLoad->reportScriptsOutsideTheTree();
}

void TForm1::TreeclassChange()
{
    // Putting the selection back after a refused store must not start another store.
    if (m_restoringSelection)
        return;
    TreeNode* node = Treeclass->selectedNode();
    if (!node)
        return;
    if (!CategoryTree::isScriptNode(node)) {
        showCountOf(node);
        return;
    }
    // The node's stored bytes, not its shown text, identify the script.
    const StoredName name = node->name();
    const bool sameRecord = ADOQuery2->state() == DataSetState::Edit && name == CurrentScriptStoredName;
    if (ADOQuery2->isChanging()) {
        if (sameRecord) {
            showCountOf(node);
            return;
        }
        if (!storePendingChanges()) {
            reselectCurrentScript();
            return;
        }
        // Storing may have renamed, moved or added nodes and moved the selection: find the
        // chosen script again, and let its own selection open it.
        const int position = FindNodeIndex(name, true);
        if (position < 0)
            return;
        node = Treeclass->nodeAt(position);
        if (Treeclass->selectedNode() != node) {
            Treeclass->setCurrentNode(node);
            return;
        }
    }
    showCountOf(node);
    OpenScript(name);
    CurrentScriptCategory = CBX1->text();
}

void TForm1::showCountOf(const TreeNode* node)
{
    if (!node)
        return;
    const TreeNode* category = node->parent() ? node->parent() : node;
    setPanelText(CountPanel, category->text(0) + kCountSuffix + QString::number(category->childCount()));
}

void TForm1::reselectCurrentScript()
{
    const QScopedValueRollback<bool> restoring(m_restoringSelection, true);
    const int position = FindNodeIndex(CurrentScriptStoredName, true);
    Treeclass->setCurrentNode(position >= 0 ? Treeclass->nodeAt(position) : nullptr);
}

int TForm1::FindNodeIndex(const StoredName& name, bool scriptLevel) const
{
    const int position = findPosition(
        Treeclass, scriptLevel, [&name](const TreeNode* node) { return name == node->storedName(); });
    // A name given as shown text with replacement marks may stand for stored bytes that are no
    // valid UTF-8: only the text shown for them finds those.
    const QString text = name.text();
    if (position >= 0 || !name.isShowable() || !text.contains(QChar::ReplacementCharacter))
        return position;
    return findPosition(
        Treeclass, scriptLevel, [&text](const TreeNode* node) { return node->text() == text; });
}
