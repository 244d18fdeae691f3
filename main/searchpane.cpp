// The search pane: finding scripts by name, code or author, over every category or inside one,
// and opening a found script from the results list.

#include "searchpane.h"

#include "categoryentries.h"
#include "categorytree.h"
#include "currentscript.h"
#include "statuspanels.h"
#include "store/query.h"
#include "store/scriptsearch.h"
#include "store/statements.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace {
// Whether a mouse button is held on the results list. A press selects the entry at once, but
// the click that opens it is the release; keys open the entry they select straight away.
class ButtonHeld : public QObject
{
public:
    using QObject::QObject;
    bool held = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            held = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            held = false;
        return QObject::eventFilter(watched, event);
    }
};

QListWidgetItem* selectedEntry(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}
} // namespace

SearchPane::SearchPane(const Parts& parts, CurrentScript& current, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
    , m_current(current)
{
    // Every entry is one line of the same height; the list need not measure 100,000 of them.
    m_parts.results->setUniformItemSizes(true);
    auto* mouse = new ButtonHeld(m_parts.results);
    m_parts.results->viewport()->installEventFilter(mouse);
    connect(m_parts.findButton, &QPushButton::clicked, this, guard([this] { find(); }));
    connect(m_parts.results, &QListWidget::itemClicked, this, guard([this] { openChosenResult(); }));
    connect(m_parts.results, &QListWidget::itemSelectionChanged, this, guard([this, mouse] {
        if (!mouse->held)
            openChosenResult();
    }));
}

void SearchPane::find()
{
    const QString keyword = m_parts.keywordEdit->text();
    if (keyword.isEmpty()) {
        MessageBoxes::information(QStringLiteral("请输入查询关键字"));
        m_parts.keywordEdit->setFocus();
        return;
    }
    const QString filter = m_parts.filterBox->currentText();
    const ScriptSearch::Column column = m_parts.byName->isChecked() ? ScriptSearch::Column::Name
        : m_parts.byCode->isChecked()                               ? ScriptSearch::Column::Code
                                                                    : ScriptSearch::Column::Author;
    // A name typed into the filter box counts as chosen when it is one of the entries.
    int chosen = m_parts.filterBox->currentIndex();
    if (chosen < 0 || m_parts.filterBox->itemText(chosen) != filter)
        chosen = m_parts.filterBox->findText(filter, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    const bool oneCategory = chosen > 0;

    const std::optional<StoredName> category
        = oneCategory ? std::optional(CategoryEntries::storedName(m_parts.filterBox, chosen)) : std::nullopt;
    Query& found = m_current.run(
        ScriptSearch::statement(column, keyword, category), true, CurrentScript::Progress::Leave);

    m_parts.statusBar->setPanelText(StatusPanel::Count,
        QStringLiteral("找到") + QString::number(found.recordCount()) + QStringLiteral("条记录"));
    QStringList names;
    names.reserve(found.recordCount());
    // A name whose stored bytes its shown text cannot give back (a library made elsewhere)
    // keeps those bytes with its entry, so that choosing it opens exactly that script.
    QList<QPair<int, QByteArray>> unshowable;
    for (found.first(); !found.eof(); found.next()) {
        const QByteArray stored = found.fieldBytes(0);
        names.append(QString::fromUtf8(stored));
        if (!StoredName::isShowable(stored, names.last()))
            unshowable.append({int(names.size()) - 1, stored});
    }
    {
        const QSignalBlocker quiet(m_parts.results);
        m_parts.results->clear();
        m_parts.results->addItems(names);
        for (const auto& [row, stored] : unshowable)
            m_parts.results->item(row)->setData(Qt::UserRole, stored);
    }
    m_current.closeStatement();
}

void SearchPane::openChosenResult()
{
    QListWidgetItem* entry = selectedEntry(m_parts.results);
    if (!entry)
        return;
    const QVariant kept = entry->data(Qt::UserRole);
    const StoredName name
        = kept.isValid() ? StoredName::fromBytes(kept.toByteArray()) : StoredName(entry->text());
    if (!m_current.storePendingChanges()) {
        // The record still holds the typed values; the list shows again whose they are.
        const QSignalBlocker quiet(m_parts.results);
        m_parts.results->clearSelection();
        if (m_openedResult.isValid())
            m_parts.results->setCurrentRow(m_openedResult.row());
        else
            m_parts.results->setCurrentRow(-1);
        return;
    }
    m_openedResult = m_parts.results->model()->index(m_parts.results->row(entry), 0);
    m_current.open(name);
    m_parts.tree->setCurrentNode(m_current.node(name, true));
    m_parts.tree->setFocus();
}

void SearchPane::removeChosenResult()
{
    QListWidgetItem* entry = selectedEntry(m_parts.results);
    if (!entry)
        return;
    const QSignalBlocker quiet(m_parts.results);
    delete entry;
    // Nothing is selected afterwards: the next entry is not chosen by the removal.
    m_parts.results->clearSelection();
    m_parts.results->setCurrentRow(-1);
}

void SearchPane::clearResults()
{
    const QSignalBlocker quiet(m_parts.results);
    m_parts.results->clear();
}
