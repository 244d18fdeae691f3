// The category tree: the deferred load at start-up, the selection handler and name look-up.

#include "categoryentries.h"
#include "categorytree.h"
#include "dbctrls/dbcombobox.h"
#include "form1.h"
#include "store/database.h"
#include "store/query.h"
#include "store/statements.h"
#include "store/table.h"
#include "widgets/messageboxes.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QComboBox>
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
    LoadCategories();
    LoadScripts();
    const int outside = countScriptsOutsideTheTree();
    TotalScripts += outside;
    setPanelText(ModePanel, QStringLiteral("载入正常完成"));
    pgb->setMaximum(0);
    setPanelText(TotalPanel, QStringLiteral("总脚本数:") + QString::number(TotalScripts));
    Timer1->deleteLater();
    Timer1 = nullptr;
    m_scriptsOutsideTheTree = outside;
    if (isVisible())
        reportScriptsOutsideTheTree();
    restoreLoadedPlaces();
    guardLibrary();
}

void TForm1::LoadCategories()
{
    // Both lists take the names in one go once they are read: one at a time, each entry costs
    // the lists a round of change notices.
    QList<QByteArray> names;
    try {
        ADOTable2->open();
        pgb->setMaximum(ADOTable2->fieldCount());
        pgb->setMinimum(0);
        pgb->setStep(1);
        pgb->stepIt();
        const CategoryTree::UpdateBlock batch(Treeclass);
        const int nameColumn = ADOTable2->fieldIndex(QStringLiteral("ctype_name"));
        names.reserve(ADOTable2->recordCount());
        for (ADOTable2->first(); !ADOTable2->eof(); ADOTable2->next()) {
            // The node keeps the stored bytes: they find the category's scripts and its row.
            names.append(ADOTable2->fieldBytes(nameColumn));
            Treeclass->addCategoryNode(QByteArrayView(names.last()));
        }
        ADOTable2->close();
    } catch (const std::exception&) {
        // An unreadable category table leaves the tree as far as it got, without a message.
        ADOTable2->close();
    }
    CategoryEntries::append(CBX1, names);
    CategoryEntries::append(ComboBox1, names);
}

void TForm1::LoadScripts()
{
    const int categories = Treeclass->topLevelItemCount();
    if (categories == 0)
        return;
    ADOQuery1->close();
    ADOConnection1.ensureOpen();
    // One compiled statement serves every category, bound to each category's stored name in
    // turn; the names are taken straight from each row as it is stepped.
    Statement scripts(ADOConnection1.database(), Statements::scriptsOfCategory({}).text);
    const int nameColumn = [&scripts] {
        for (int i = 0; i < scripts.columnCount(); ++i) {
            if (scripts.columnName(i).compare(QLatin1String("cjs_name"), Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }();
    CategoryTree::BulkLoad load(Treeclass);
    // Walking from the last category, as scripts were always added, keeps the order of the
    // statements the library sees.
    for (int row = categories - 1; row >= 0; --row) {
        TreeNode* category = Treeclass->topLevelItem(row);
        scripts.reset();
        Statements::bind(scripts, Statements::scriptsOfCategory(category->storedName().toByteArray()));
        int count = 0;
        while (scripts.step()) {
            load.addScript(category, scripts.textView(nameColumn));
            ++count;
        }
        TotalScripts += count;
        tickProgress(scripts.columnCount());
    }
}

int TForm1::countScriptsOutsideTheTree()
{
    // Scripts whose category is missing or empty belong to no node. Counting them must not turn
    // a start without a library into a failed load.
    if (!ADOConnection1.connected())
        return 0;
    try {
        Statement all(ADOConnection1.database(), Statements::kScriptCount);
        return all.step() ? std::max(0, int(all.value(0).toLongLong()) - TotalScripts) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

void TForm1::reportScriptsOutsideTheTree()
{
    const int count = std::exchange(m_scriptsOutsideTheTree, 0);
    if (count == 0)
        return;
    // Told once the window is up, not over the splash.
    QTimer::singleShot(0, this, [count] {
        MessageBoxes::information(QStringLiteral(
            "库中有 %1 个脚本的类别不存在或为空，分类树中没有显示它们。\n"
            "在“所有分类”中查找可以找到并打开它们；选定脚本类别后保存，它们就会出现在该类别下。")
                                      .arg(count));
    });
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    for (const QString& notice : std::exchange(m_pendingNotices, {}))
        Stb->showNotice(notice);
    reportScriptsOutsideTheTree();
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
    const QByteArray name = node->storedName().toByteArray();
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
        const int position = FindStoredNodeIndex(name, true);
        if (position < 0)
            return;
        node = Treeclass->nodeAt(position);
        if (Treeclass->selectedNode() != node) {
            Treeclass->setCurrentNode(node);
            return;
        }
    }
    showCountOf(node);
    OpenStoredScript(name);
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
    const int position = FindStoredNodeIndex(CurrentScriptStoredName, true);
    Treeclass->setCurrentNode(position >= 0 ? Treeclass->nodeAt(position) : nullptr);
}

int TForm1::FindNodeIndex(const QString& name, bool scriptLevel) const
{
    const QByteArray bytes = name.toUtf8();
    // Stored bytes that are valid UTF-8 show exactly the text they encode, so comparing bytes
    // is comparing texts; only a name with replacement marks must be compared as shown.
    if (!name.contains(QChar::ReplacementCharacter) && QString::fromUtf8(bytes) == name) {
        return findPosition(
            Treeclass, scriptLevel, [&bytes](const TreeNode* node) { return node->storedName() == bytes; });
    }
    return findPosition(
        Treeclass, scriptLevel, [&name](const TreeNode* node) { return node->text() == name; });
}

int TForm1::FindStoredNodeIndex(QByteArrayView storedName, bool scriptLevel) const
{
    return findPosition(Treeclass, scriptLevel,
        [storedName](const TreeNode* node) { return node->storedName() == storedName; });
}
