#include "startupload.h"

#include "categoryentries.h"
#include "categorytree.h"
#include "currentscript.h"
#include "dbctrls/dbcombobox.h"
#include "scriptcounts.h"
#include "statuspanels.h"
#include "store/database.h"
#include "store/statements.h"
#include "store/table.h"
#include "widgets/messageboxes.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QTimer>

#include <utility>

StartupLoad::StartupLoad(const Parts& parts, CurrentScript& current, ScriptCounts& counts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
    , m_counts(counts)
    , m_categories(new Table(current.library(), QStringLiteral("ADOTable2"), this))
{
    m_categories->setTableName(Statements::kCategoryTable);
}

void StartupLoad::loadTree()
{
    try {
        m_scriptsOutsideTheTree = loadCategoriesAndScripts();
    } catch (...) {
        tellLoadFailed();
        throw;
    }
    m_parts.statusBar->setPanelText(StatusPanel::Mode, QStringLiteral("载入正常完成"));
}

int StartupLoad::loadCategoriesAndScripts()
{
    loadCategories();
    loadScripts();
    const int outside = countScriptsOutsideTheTree();
    m_counts.add(outside);
    m_current.restProgress();
    m_counts.showTotal();
    return outside;
}

void StartupLoad::loadCategories()
{
    // Both lists take the names in one go once they are read: one at a time, each entry costs
    // the lists a round of change notices.
    QList<QByteArray> names;
    try {
        m_categories->open();
        m_current.tickProgress(m_categories->fieldCount());
        const CategoryTree::UpdateBlock batch(m_parts.tree);
        const int nameColumn = m_categories->fieldIndex(QStringLiteral("ctype_name"));
        names.reserve(m_categories->recordCount());
        for (m_categories->first(); !m_categories->eof(); m_categories->next()) {
            // The node keeps the stored bytes: they find the category's scripts and its row.
            names.append(m_categories->fieldBytes(nameColumn));
            m_parts.tree->addCategoryNode(StoredName::fromBytes(names.last()));
        }
        m_categories->close();
    } catch (const std::exception&) {
        // An unreadable category table leaves the tree as far as it got, without a message of
        // its own: what is wrong with the library is told once the load is over.
        m_categories->close();
        tellLoadFailed();
    }
    CategoryEntries::append(m_parts.categoryBox, names);
    CategoryEntries::append(m_parts.filterBox, names);
}

void StartupLoad::loadScripts()
{
    const int categories = m_parts.tree->topLevelItemCount();
    if (categories == 0)
        return;
    // Walking from the last category, as scripts were always added, keeps the order of the
    // statements the library sees.
    QList<TreeNode*> order;
    QList<BoundStatement> bindings;
    for (int row = categories - 1; row >= 0; --row) {
        order.append(m_parts.tree->topLevelItem(row));
        bindings.append(Statements::scriptsOfCategory(order.last()->name()));
    }
    // One compiled statement serves every category; the names are taken straight from each row
    // as it is stepped.
    CategoryTree::BulkLoad load(m_parts.tree);
    int nameColumn = -1;
    int loaded = 0;
    m_current.runInTurn(bindings, [&](int binding, const Statement& row) {
        if (nameColumn < 0) {
            for (int i = 0; i < row.columnCount(); ++i) {
                if (row.columnName(i).compare(QLatin1String("cjs_name"), Qt::CaseInsensitive) == 0)
                    nameColumn = i;
            }
        }
        load.addScript(order.at(binding), row.textView(nameColumn));
        ++loaded;
    });
    m_counts.add(loaded);
}

int StartupLoad::countScriptsOutsideTheTree()
{
    // Scripts whose category is missing or empty belong to no node. Counting them must not turn
    // a start without a library into a failed load.
    if (!m_current.library().connected())
        return 0;
    try {
        const std::optional<qint64> all = m_current.number(Statements::kScriptCount);
        return all ? std::max(0, int(*all) - m_counts.total()) : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

void StartupLoad::tellLoadFailed()
{
    if (m_loadFailed)
        QTimer::singleShot(0, this, m_loadFailed);
}

void StartupLoad::reportScriptsOutsideTheTree()
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
