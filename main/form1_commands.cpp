// The command table: action list, main menu, tool bar and pop-up menus, built from the tables
// in commandtable.cpp, and the rules that enable the commands.

#include "action.h"
#include "categorytree.h"
#include "commandtable.h"
#include "dbctrls/datasource.h"
#include "dialogs/scriptfiledialog.h"
#include "form1.h"
#include "keydispatch.h"
#include "store/query.h"
#include "widgets/errorguard.h"

#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {
QKeySequence keyOf(const char* text)
{
    return text ? QKeySequence(QString::fromLatin1(text), QKeySequence::PortableText) : QKeySequence();
}
} // namespace

void TForm1::createActions()
{
    ActionList1 = new ActionList(this);
    for (const CommandTable::ActionEntry& entry : CommandTable::kActions) {
        Action* action = ActionList1->add(
            QString::fromLatin1(entry.name), QString::fromUtf8(entry.caption), keyOf(entry.shortcut));
        action->setToolTip(QString::fromUtf8(entry.caption));
    }
}

void TForm1::createToolButtons()
{
    for (const CommandTable::Entry& entry : CommandTable::kToolBar) {
        if (!entry.name) {
            ToolBar1->addSeparator();
            continue;
        }
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setFixedSize(68, 21);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setText(QString::fromUtf8(entry.caption));
        button->setToolTip(entry.hint ? QString::fromUtf8(entry.hint) : QString());
        // The button's command object runs the action or handler and carries the enabled state.
        auto* command = new QAction(button->text(), button);
        command->setObjectName(button->objectName() + QStringLiteral("Command"));
        bindCommand(
            command, entry.action ? QString::fromLatin1(entry.action) : QString(), button->objectName());
        button->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QToolButton::clicked, command, &QAction::trigger);
        ToolBar1->addWidget(button);
    }
}

void TForm1::createCommands()
{
    // Rules, handlers and the file dialogs come after the look component: its walk takes the
    // dialogs for windows of their own.
    configureActions();
    configureEditCommands();

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);
    QMenu* current = nullptr;
    for (const CommandTable::Entry& entry : CommandTable::kMainMenu) {
        if (entry.depth == 0) {
            current = MainMenu1->addMenu(QString::fromUtf8(entry.caption));
            current->setObjectName(QString::fromLatin1(entry.name) + QStringLiteral("Menu"));
            current->menuAction()->setObjectName(QString::fromLatin1(entry.name));
            KeyDispatcher::setCommandShortcut(current->menuAction(), keyOf(entry.shortcut));
        } else {
            addCommandEntry(current, entry);
        }
    }

    PopupTree = buildPopupMenu(QStringLiteral("PopupTree"), CommandTable::kPopupTree);
    KeyDispatcher::setPopupMenu(Treeclass, PopupTree);
    connect(Treeclass, &CategoryTree::popupRequested, PopupTree,
        [this](const QPoint& at) { PopupTree->popup(at); });
    PopupMenu1 = buildPopupMenu(QStringLiteral("PopupMenu1"), CommandTable::kPopupResults);
    KeyDispatcher::setPopupMenu(ListBox1, PopupMenu1);
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, PopupMenu1,
        [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });

    ActionList1->updateAll();
}

QMenu* TForm1::buildPopupMenu(const QString& name, const std::vector<CommandTable::Entry>& entries)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(name);
    for (const CommandTable::Entry& entry : entries)
        addCommandEntry(menu, entry);
    return menu;
}

void TForm1::addCommandEntry(QMenu* menu, const CommandTable::Entry& entry)
{
    if (!entry.name) {
        menu->addSeparator();
        return;
    }
    QAction* item = menu->addAction(QString::fromUtf8(entry.caption));
    item->setObjectName(QString::fromLatin1(entry.name));
    if (entry.hint)
        item->setStatusTip(QString::fromUtf8(entry.hint));
    const QKeySequence key = keyOf(entry.shortcut);
    KeyDispatcher::setCommandShortcut(item, key);
    // Shown beside the caption only: the key dispatcher, not Qt's shortcut map, runs the command.
    item->setShortcut(key);
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setShortcutVisibleInContextMenu(true);
    bindCommand(item, entry.action ? QString::fromLatin1(entry.action) : QString(), item->objectName());
}

void TForm1::bindCommand(QAction* entry, const QString& actionName, const QString& entryName)
{
    if (!actionName.isEmpty()) {
        ActionList1->find(actionName)->attach(entry);
        return;
    }
    // Entries with a handler of their own; one that has none yet stays greyed.
    const auto handler = m_commandHandlers.constFind(entryName);
    entry->setEnabled(handler != m_commandHandlers.constEnd());
    if (handler != m_commandHandlers.constEnd())
        connect(entry, &QAction::triggered, this, guard(handler.value()));
}

void TForm1::configureActions()
{
    const auto openAndChangeable = [this] { return ADOQuery2->isActive() && ADOQuery2->canModify(); };
    const auto editing = [this] { return ADOQuery2->isChanging(); };
    ActionList1->find(QStringLiteral("DataSetInsert1"))->setUpdateRule(openAndChangeable);
    ActionList1->find(QStringLiteral("DataSetDelete1"))->setUpdateRule([this, openAndChangeable] {
        return openAndChangeable() && (!ADOQuery2->isEmpty() || ADOQuery2->state() == DataSetState::Insert);
    });
    ActionList1->find(QStringLiteral("DataSetPost1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
    ActionList1->find(QStringLiteral("DataSetCancel1"))->setUpdateRule([=] {
        return openAndChangeable() && editing();
    });
    createFileDialogs();
}

void TForm1::createFileDialogs()
{
    FileOpen1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Open, QStringLiteral("FileOpen1Dialog"), this);
    FileSaveAs1Dialog
        = new ScriptFileDialog(ScriptFileDialog::Purpose::Save, QStringLiteral("FileSaveAs1Dialog"), this);
}
