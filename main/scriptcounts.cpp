#include "scriptcounts.h"

#include "categorytree.h"
#include "currentscript.h"
#include "statuspanels.h"
#include "store/statements.h"
#include "widgets/statusbar.h"

ScriptCounts::ScriptCounts(CurrentScript& current, StatusBar* statusBar, int& total)
    : m_current(current)
    , m_statusBar(statusBar)
    , m_total(total)
{ }

void ScriptCounts::showTotal()
{
    m_statusBar->setPanelText(StatusPanel::Total, QStringLiteral("总脚本数:") + QString::number(m_total));
}

void ScriptCounts::recount()
{
    // A full count, not a running sum: scripts deleted with their category, and scripts outside
    // the tree, are counted right.
    const std::optional<qint64> all = m_current.number(Statements::kScriptCount);
    if (!all)
        return;
    m_total = int(*all);
    showTotal();
}

void ScriptCounts::showCountOf(const TreeNode* node)
{
    if (!node)
        return;
    const TreeNode* category = node->parent() ? node->parent() : node;
    m_statusBar->setPanelText(StatusPanel::Count,
        category->text(0) + QStringLiteral("脚本数:") + QString::number(category->childCount()));
}

void ScriptCounts::clearCount()
{
    m_statusBar->setPanelText(StatusPanel::Count, QString());
}
