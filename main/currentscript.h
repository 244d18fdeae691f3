#pragma once

#include "store/connection.h"
#include "store/storedname.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

struct BoundStatement;
class CategoryTree;
class DataSource;
class ProgressBar;
class Query;
class Statement;
class TreeNode;

// The script the editors show, and what every feature of the main window shares to work on it:
// the library's connection, the current-script query with its data source, the open script's
// name and category, storing what is pending before anything replaces it, the one way the
// window's statements run (with the progress bar's ticks), and finding a script's or category's
// node in the tree.
class CurrentScript : public QObject
{
    Q_OBJECT
public:
    explicit CurrentScript(QObject* parent);
    ~CurrentScript() override;

    // The tree whose nodes are found and the bar that statements tick, once the window made them.
    void setTree(CategoryTree* tree) { m_tree = tree; }
    void setProgressBar(ProgressBar* bar) { m_progress = bar; }

    Connection& library() { return m_library; }
    // The current-script query, and the data source the editors are bound through.
    Query* record() const { return m_record; }
    DataSource* source() const { return m_source; }

    // Opens the script stored under exactly this name's bytes; a name that finds no row shows
    // an empty record.
    void open(const StoredName& name);
    // The open script's name as it was opened, as shown and as stored.
    const QString& name() const { return m_name; }
    const StoredName& storedName() const { return m_storedName; }
    // The open script's category, as it was when the script was opened or last stored.
    const QString& category() const { return m_category; }
    void setCategory(const QString& category) { m_category = category; }
    // The open script was stored under a new name: from now on it is known by this one.
    void renamedTo(const StoredName& name);
    // The name the editors' script goes by: empty when no row is open, or while a new script is
    // being added.
    QString shownName() const;
    // Tells that the shown name may have changed, after the record was deleted or refilled.
    void refreshShownName() { emit shownNameChanged(); }

    // Stores a changed record the way the save command does, before anything replaces it; false
    // when the store was refused, the record then keeping its mode and typed values. An
    // untouched edit or new record is simply dropped.
    bool storePendingChanges();
    // How a pending change is stored; set by the record session.
    void setStoreRule(std::function<bool()> store) { m_store = std::move(store); }

    // Whether a statement steps the progress bar; the search leaves it as it is.
    enum class Progress { Tick, Leave };
    // Runs a statement on the window's statement query: opened to read rows, or executed. The
    // rows stay readable until the next statement or closeStatement().
    Query& run(const BoundStatement& statement, bool open, Progress progress = Progress::Tick);
    void closeStatement();
    // A step of a longer read (e.g. a table opened) ticks the progress bar like a statement.
    void tickProgress(int steps);
    // The statements are done for now: the progress bar rests.
    void restProgress();
    // The first column of the statement's first row, for counts; nothing when it gives no row.
    std::optional<qint64> number(const QString& statement);
    // One statement, compiled once from the bindings' common text and run with each binding in
    // turn; `row` sees each row with the binding's index. Each binding ticks the progress bar.
    void runInTurn(const QList<BoundStatement>& bindings,
        const std::function<void(int binding, const Statement& row)>& row);

    // The tree position of the first category (or script) node stored with this name; -1 if none.
    int findNode(const StoredName& name, bool scriptLevel) const;
    // That node; throws "Invalid index" when there is none.
    TreeNode* node(const StoredName& name, bool scriptLevel) const;
    // That node, or null when there is none.
    TreeNode* nodeIfAny(const StoredName& name, bool scriptLevel) const;

signals:
    // The name the editors' script goes by may have changed.
    void shownNameChanged();

private:
    Connection m_library;
    Query* m_statements;
    Query* m_record;
    DataSource* m_source;
    CategoryTree* m_tree = nullptr;
    ProgressBar* m_progress = nullptr;
    QString m_name;
    StoredName m_storedName;
    QString m_category;
    std::function<bool()> m_store;
};
