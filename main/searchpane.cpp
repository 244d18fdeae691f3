// The search pane: finding scripts by name, code or author, over every category or inside one,
// and opening a found script from the results list.

#include "searchpane.h"

#include "categoryentries.h"
#include "categorytree.h"
#include "form1.h"
#include "store/query.h"
#include "store/scriptsearch.h"
#include "widgets/errorguard.h"
#include "widgets/messageboxes.h"

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

SearchPane::SearchPane(TForm1& form)
    : QObject(&form)
    , m_form(form)
{
    // Every entry is one line of the same height; the list need not measure 100,000 of them.
    m_form.ListBox1->setUniformItemSizes(true);
    auto* mouse = new ButtonHeld(m_form.ListBox1);
    m_form.ListBox1->viewport()->installEventFilter(mouse);
    connect(m_form.BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));
    connect(m_form.ListBox1, &QListWidget::itemClicked, this, guard([this] { ListBox1Click(); }));
    connect(m_form.ListBox1, &QListWidget::itemSelectionChanged, this, guard([this, mouse] {
        if (!mouse->held)
            ListBox1Click();
    }));
}

void SearchPane::BitBtn1Click()
{
    const QString keyword = m_form.Edit1->text();
    if (keyword.isEmpty()) {
        MessageBoxes::information(QStringLiteral("请输入查询关键字"));
        m_form.Edit1->setFocus();
        return;
    }
    const QString filter = m_form.ComboBox1->currentText();
    const ScriptSearch::Column column = m_form.rb1->isChecked() ? ScriptSearch::Column::Name
        : m_form.rb2->isChecked()                               ? ScriptSearch::Column::Code
                                                                : ScriptSearch::Column::Author;
    // A name typed into the filter box counts as chosen when it is one of the entries.
    int chosen = m_form.ComboBox1->currentIndex();
    if (chosen < 0 || m_form.ComboBox1->itemText(chosen) != filter)
        chosen = m_form.ComboBox1->findText(filter, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    const bool oneCategory = chosen > 0;

    m_form.ADOQuery1->close();
    m_form.ADOQuery1->setSql(ScriptSearch::statement(column, oneCategory));
    m_form.ADOQuery1->setParameter(ScriptSearch::kKeywordParameter, keyword);
    m_form.ADOQuery1->setParameter(ScriptSearch::kCategoryParameter,
        oneCategory ? QVariant(CategoryEntries::storedName(m_form.ComboBox1, chosen).bytes())
                    : QVariant(filter));
    m_form.ADOQuery1->open();

    m_form.setPanelText(TForm1::CountPanel,
        QStringLiteral("找到") + QString::number(m_form.ADOQuery1->recordCount()) + QStringLiteral("条记录"));
    QStringList names;
    names.reserve(m_form.ADOQuery1->recordCount());
    // A name whose stored bytes its shown text cannot give back (a library made elsewhere)
    // keeps those bytes with its entry, so that choosing it opens exactly that script.
    QList<QPair<int, QByteArray>> unshowable;
    for (m_form.ADOQuery1->first(); !m_form.ADOQuery1->eof(); m_form.ADOQuery1->next()) {
        const QByteArray stored = m_form.ADOQuery1->fieldBytes(0);
        names.append(QString::fromUtf8(stored));
        if (names.last().toUtf8() != stored)
            unshowable.append({int(names.size()) - 1, stored});
    }
    {
        const QSignalBlocker quiet(m_form.ListBox1);
        m_form.ListBox1->clear();
        m_form.ListBox1->addItems(names);
        for (const auto& [row, stored] : unshowable)
            m_form.ListBox1->item(row)->setData(Qt::UserRole, stored);
    }
    m_form.ADOQuery1->close();
}

void SearchPane::ListBox1Click()
{
    QListWidgetItem* entry = selectedEntry(m_form.ListBox1);
    if (!entry)
        return;
    const QVariant kept = entry->data(Qt::UserRole);
    const StoredName name
        = kept.isValid() ? StoredName::fromBytes(kept.toByteArray()) : StoredName(entry->text());
    if (!m_form.storePendingChanges()) {
        // The record still holds the typed values; the list shows again whose they are.
        const QSignalBlocker quiet(m_form.ListBox1);
        m_form.ListBox1->clearSelection();
        if (m_openedResult.isValid())
            m_form.ListBox1->setCurrentRow(m_openedResult.row());
        else
            m_form.ListBox1->setCurrentRow(-1);
        return;
    }
    m_openedResult = m_form.ListBox1->model()->index(m_form.ListBox1->row(entry), 0);
    m_form.OpenScript(name);
    m_form.Treeclass->setCurrentNode(m_form.Treeclass->nodeAt(m_form.FindNodeIndex(name, true)));
    m_form.Treeclass->setFocus();
}

void SearchPane::N35Click()
{
    QListWidgetItem* entry = selectedEntry(m_form.ListBox1);
    if (!entry)
        return;
    const QSignalBlocker quiet(m_form.ListBox1);
    delete entry;
    // Nothing is selected afterwards: the next entry is not chosen by the removal.
    m_form.ListBox1->clearSelection();
    m_form.ListBox1->setCurrentRow(-1);
}

void SearchPane::N40Click()
{
    const QSignalBlocker quiet(m_form.ListBox1);
    m_form.ListBox1->clear();
}
