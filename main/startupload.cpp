#include "startupload.h"

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

#include <QComboBox>
#include <QTimer>

#include <utility>

StartupLoad::StartupLoad(TForm1& form)
    : QObject(&form)
    , m_form(form)
{ }

void StartupLoad::loadTree()
{
    try {
        m_scriptsOutsideTheTree = loadCategoriesAndScripts();
    } catch (...) {
        tellLoadFailed();
        throw;
    }
    m_form.setPanelText(TForm1::ModePanel, QStringLiteral("载入正常完成"));
}

int StartupLoad::loadCategoriesAndScripts()
{
    LoadCategories();
    LoadScripts();
    const int outside = countScriptsOutsideTheTree();
    m_form.TotalScripts += outside;
    m_form.pgb->setMaximum(0);
    showScriptTotal();
    return outside;
}

void StartupLoad::showScriptTotal()
{
    m_form.setPanelText(
        TForm1::TotalPanel, QStringLiteral("总脚本数:") + QString::number(m_form.TotalScripts));
}

void StartupLoad::recountScripts()
{
    Statement all(m_form.ADOConnection1.database(), Statements::kScriptCount);
    if (!all.step())
        return;
    m_form.TotalScripts = int(all.value(0).toLongLong());
    showScriptTotal();
}

void StartupLoad::LoadCategories()
{
    // Both lists take the names in one go once they are read: one at a time, each entry costs
    // the lists a round of change notices.
    QList<QByteArray> names;
    try {
        m_form.ADOTable2->open();
        m_form.pgb->tickAlong(m_form.ADOTable2->fieldCount());
        const CategoryTree::UpdateBlock batch(m_form.Treeclass);
        const int nameColumn = m_form.ADOTable2->fieldIndex(QStringLiteral("ctype_name"));
        names.reserve(m_form.ADOTable2->recordCount());
        for (m_form.ADOTable2->first(); !m_form.ADOTable2->eof(); m_form.ADOTable2->next()) {
            // The node keeps the stored bytes: they find the category's scripts and its row.
            names.append(m_form.ADOTable2->fieldBytes(nameColumn));
            m_form.Treeclass->addCategoryNode(StoredName::fromBytes(names.last()));
        }
        m_form.ADOTable2->close();
    } catch (const std::exception&) {
        // An unreadable category table leaves the tree as far as it got, without a message of
        // its own: what is wrong with the library is told once the load is over.
        m_form.ADOTable2->close();
        tellLoadFailed();
    }
    CategoryEntries::append(m_form.CBX1, names);
    CategoryEntries::append(m_form.ComboBox1, names);
}

void StartupLoad::LoadScripts()
{
    const int categories = m_form.Treeclass->topLevelItemCount();
    if (categories == 0)
        return;
    m_form.ADOQuery1->close();
    m_form.ADOConnection1.ensureOpen();
    // One compiled statement serves every category, bound to each category's stored name in
    // turn; the names are taken straight from each row as it is stepped.
    Statement scripts(m_form.ADOConnection1.database(), Statements::scriptsOfCategory({}).text);
    const int nameColumn = [&scripts] {
        for (int i = 0; i < scripts.columnCount(); ++i) {
            if (scripts.columnName(i).compare(QLatin1String("cjs_name"), Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }();
    CategoryTree::BulkLoad load(m_form.Treeclass);
    // Walking from the last category, as scripts were always added, keeps the order of the
    // statements the library sees.
    for (int row = categories - 1; row >= 0; --row) {
        TreeNode* category = m_form.Treeclass->topLevelItem(row);
        scripts.reset();
        Statements::bind(scripts, Statements::scriptsOfCategory(category->name()));
        int count = 0;
        while (scripts.step()) {
            load.addScript(category, scripts.textView(nameColumn));
            ++count;
        }
        m_form.TotalScripts += count;
        m_form.pgb->tickAlong(scripts.columnCount());
    }
}

int StartupLoad::countScriptsOutsideTheTree()
{
    // Scripts whose category is missing or empty belong to no node. Counting them must not turn
    // a start without a library into a failed load.
    if (!m_form.ADOConnection1.connected())
        return 0;
    try {
        Statement all(m_form.ADOConnection1.database(), Statements::kScriptCount);
        return all.step() ? std::max(0, int(all.value(0).toLongLong()) - m_form.TotalScripts) : 0;
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
