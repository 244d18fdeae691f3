#include "currentscript.h"

#include "categorytree.h"
#include "dbctrls/datasource.h"
#include "store/database.h"
#include "store/query.h"
#include "store/statements.h"
#include "widgets/progressbar.h"

namespace {
// Opening the current-script query at start-up with this name shows no record: no name typed
// into the program can hold a control character.
const QString kNoScriptPlaceholder = QStringLiteral("\u0001");
const QString kNameParameter = QStringLiteral("JsName");

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

CurrentScript::CurrentScript(QObject* parent)
    : QObject(parent)
    , m_statements(new Query(m_library, QStringLiteral("ADOQuery1"), this))
    , m_record(new Query(m_library, QStringLiteral("ADOQuery2"), this))
    , m_source(new DataSource(QStringLiteral("DataSource1"), this))
{
    setObjectName(QStringLiteral("CurrentScript"));
    m_record->setSql(Statements::kCurrentScript);
    m_record->setDecodesTextsOnFetch(true);
    m_record->setParameter(kNameParameter, kNoScriptPlaceholder);
    m_record->setPrepared(true);
    m_source->setDataSet(m_record);
}

CurrentScript::~CurrentScript()
{
    // Closing never saves: a pending edit goes before the connection does.
    m_record->close();
    m_statements->close();
}

void CurrentScript::open(const StoredName& name)
{
    m_record->close();
    m_record->setParameter(kNameParameter, name.bytes());
    m_record->open();
    m_storedName = name;
    m_name = name.text();
    emit shownNameChanged();
}

void CurrentScript::renamedTo(const StoredName& name)
{
    m_storedName = name;
    m_name = name.text();
    emit shownNameChanged();
}

QString CurrentScript::shownName() const
{
    // A name that found no row, or whose row was deleted, names nothing the editors show; nor
    // does it while the editors show a new record that is not in the library yet.
    const bool shown
        = m_record->isActive() && !m_record->isEmpty() && m_record->state() != DataSetState::Insert;
    return shown ? m_name : QString();
}

bool CurrentScript::storePendingChanges()
{
    return m_store ? m_store() : !m_record->isChanging();
}

Query& CurrentScript::run(const BoundStatement& statement, bool open, Progress progress)
{
    m_statements->close();
    m_statements->setStatement(statement);
    if (open)
        m_statements->open();
    else
        m_statements->execSql();
    if (progress == Progress::Tick)
        tickProgress(m_statements->fieldCount());
    return *m_statements;
}

void CurrentScript::closeStatement()
{
    m_statements->close();
}

void CurrentScript::tickProgress(int steps)
{
    if (m_progress)
        m_progress->tickAlong(steps);
}

void CurrentScript::restProgress()
{
    if (m_progress)
        m_progress->setMaximum(0);
}

std::optional<qint64> CurrentScript::number(const QString& statement)
{
    Statement counting(m_library.database(), statement);
    if (!counting.step())
        return std::nullopt;
    return counting.value(0).toLongLong();
}

void CurrentScript::runInTurn(
    const QList<BoundStatement>& bindings, const std::function<void(int binding, const Statement& row)>& row)
{
    if (bindings.isEmpty())
        return;
    m_statements->close();
    m_library.ensureOpen();
    Statement statement(m_library.database(), bindings.first().text);
    for (int i = 0; i < bindings.size(); ++i) {
        statement.reset();
        Statements::bind(statement, bindings.at(i));
        while (statement.step())
            row(i, statement);
        tickProgress(statement.columnCount());
    }
}

int CurrentScript::findNode(const StoredName& name, bool scriptLevel) const
{
    const int position = findPosition(
        m_tree, scriptLevel, [&name](const TreeNode* node) { return name == node->storedName(); });
    if (position >= 0 || !name.isShowable())
        return position;
    // A name given as shown text with replacement marks may stand for stored bytes that are no
    // valid UTF-8: only the text shown for them finds those.
    const QString text = name.text();
    if (!text.contains(QChar::ReplacementCharacter))
        return position;
    return findPosition(m_tree, scriptLevel, [&text](const TreeNode* node) { return node->text() == text; });
}

TreeNode* CurrentScript::node(const StoredName& name, bool scriptLevel) const
{
    return m_tree->nodeAt(findNode(name, scriptLevel));
}

TreeNode* CurrentScript::nodeIfAny(const StoredName& name, bool scriptLevel) const
{
    const int position = findNode(name, scriptLevel);
    return position < 0 ? nullptr : m_tree->nodeAt(position);
}
