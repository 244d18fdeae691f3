// The search pane: finding scripts by name, code or author, over every category or inside one,
// and opening a found script from the results list.

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

void TForm1::setUpSearchPane()
{
    // Every entry is one line of the same height; the list need not measure 100,000 of them.
    ListBox1->setUniformItemSizes(true);
    auto* mouse = new ButtonHeld(ListBox1);
    ListBox1->viewport()->installEventFilter(mouse);
    connect(BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));
    connect(ListBox1, &QListWidget::itemClicked, this, guard([this] { ListBox1Click(); }));
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, guard([this, mouse] {
        if (!mouse->held)
            ListBox1Click();
    }));
}

void TForm1::BitBtn1Click()
{
    const QString keyword = Edit1->text();
    if (keyword.isEmpty()) {
        MessageBoxes::information(QStringLiteral("请输入查询关键字"));
        Edit1->setFocus();
        return;
    }
    const QString filter = ComboBox1->currentText();
    const ScriptSearch::Column column = rb1->isChecked() ? ScriptSearch::Column::Name
        : rb2->isChecked()                               ? ScriptSearch::Column::Code
                                                         : ScriptSearch::Column::Author;
    // A name typed into the filter box counts as chosen when it is one of the entries.
    int chosen = ComboBox1->currentIndex();
    if (chosen < 0 || ComboBox1->itemText(chosen) != filter)
        chosen = ComboBox1->findText(filter, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    const bool oneCategory = chosen > 0;

    ADOQuery1->close();
    ADOQuery1->setSql(ScriptSearch::statement(column, oneCategory));
    ADOQuery1->setParameter(ScriptSearch::kKeywordParameter, keyword);
    ADOQuery1->setParameter(ScriptSearch::kCategoryParameter,
        oneCategory ? QVariant(CategoryEntries::storedName(ComboBox1, chosen)) : QVariant(filter));
    ADOQuery1->open();

    setPanelText(CountPanel,
        QStringLiteral("找到") + QString::number(ADOQuery1->recordCount()) + QStringLiteral("条记录"));
    QStringList names;
    names.reserve(ADOQuery1->recordCount());
    // A name whose stored bytes its shown text cannot give back (a library made elsewhere)
    // keeps those bytes with its entry, so that choosing it opens exactly that script.
    QList<QPair<int, QByteArray>> unshowable;
    for (ADOQuery1->first(); !ADOQuery1->eof(); ADOQuery1->next()) {
        const QByteArray stored = ADOQuery1->fieldBytes(0);
        names.append(QString::fromUtf8(stored));
        if (names.last().toUtf8() != stored)
            unshowable.append({int(names.size()) - 1, stored});
    }
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(names);
        for (const auto& [row, stored] : unshowable)
            ListBox1->item(row)->setData(Qt::UserRole, stored);
    }
    ADOQuery1->close();
}

void TForm1::ListBox1Click()
{
    QListWidgetItem* entry = selectedEntry(ListBox1);
    if (!entry)
        return;
    const QVariant kept = entry->data(Qt::UserRole);
    const QByteArray storedName = kept.isValid() ? kept.toByteArray() : entry->text().toUtf8();
    if (!storePendingChanges()) {
        // The record still holds the typed values; the list shows again whose they are.
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clearSelection();
        if (m_openedResult.isValid())
            ListBox1->setCurrentRow(m_openedResult.row());
        else
            ListBox1->setCurrentRow(-1);
        return;
    }
    m_openedResult = ListBox1->model()->index(ListBox1->row(entry), 0);
    OpenStoredScript(storedName);
    Treeclass->setCurrentNode(Treeclass->nodeAt(FindStoredNodeIndex(storedName, true)));
    Treeclass->setFocus();
}

void TForm1::N35Click()
{
    QListWidgetItem* entry = selectedEntry(ListBox1);
    if (!entry)
        return;
    const QSignalBlocker quiet(ListBox1);
    delete entry;
    // Nothing is selected afterwards: the next entry is not chosen by the removal.
    ListBox1->clearSelection();
    ListBox1->setCurrentRow(-1);
}

void TForm1::N40Click()
{
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
}
