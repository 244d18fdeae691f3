#include "windowcommands.h"

#include "action.h"
#include "categorytree.h"
#include "commandtable.h"
#include "keydispatch.h"
#include "widgets/errorguard.h"

#include <QListWidget>
#include <QMainWindow>
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

WindowCommands::WindowCommands(
    QMainWindow& window, MainWindowControls& controls, const CommandHandlers::Table& handlers)
    : m_window(window)
    , m_controls(controls)
{
    for (const auto& [name, run] : handlers)
        m_handlers.insert(name, run);
}

void WindowCommands::createActions()
{
    m_controls.ActionList1 = new ActionList(&m_window);
    for (const CommandTable::ActionEntry& entry : CommandTable::kActions) {
        Action* action = m_controls.ActionList1->add(
            QString::fromLatin1(entry.name), QString::fromUtf8(entry.caption), keyOf(entry.shortcut));
        action->setToolTip(QString::fromUtf8(entry.caption));
        // An action runs its handler itself; the entries that show it only trigger it.
        if (const auto handler = m_handlers.constFind(action->objectName()); handler != m_handlers.constEnd())
            action->setHandler(handler.value());
    }
}

void WindowCommands::createToolButtons()
{
    for (const CommandTable::Entry& entry : CommandTable::kToolBar) {
        if (!entry.name) {
            m_controls.ToolBar1->addSeparator();
            continue;
        }
        auto* button = new QToolButton(m_controls.ToolBar1);
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
        QObject::connect(command, &QAction::enabledChanged, button, &QWidget::setEnabled);
        QObject::connect(button, &QToolButton::clicked, command, &QAction::trigger);
        m_controls.ToolBar1->addWidget(button);
    }
}

void WindowCommands::createMenus()
{
    m_controls.MainMenu1 = new QMenuBar(&m_window);
    m_controls.MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    m_window.setMenuBar(m_controls.MainMenu1);
    QMenu* current = nullptr;
    for (const CommandTable::Entry& entry : CommandTable::kMainMenu) {
        if (entry.depth == 0) {
            current = m_controls.MainMenu1->addMenu(QString::fromUtf8(entry.caption));
            current->setObjectName(QString::fromLatin1(entry.name) + QStringLiteral("Menu"));
            current->menuAction()->setObjectName(QString::fromLatin1(entry.name));
            KeyDispatcher::setCommandShortcut(current->menuAction(), keyOf(entry.shortcut));
        } else {
            addCommandEntry(current, entry);
        }
    }

    m_controls.PopupTree = buildPopupMenu(QStringLiteral("PopupTree"), CommandTable::kPopupTree);
    KeyDispatcher::setPopupMenu(m_controls.Treeclass, m_controls.PopupTree);
    QObject::connect(m_controls.Treeclass, &CategoryTree::popupRequested, m_controls.PopupTree,
        [menu = m_controls.PopupTree](const QPoint& at) { menu->popup(at); });
    m_controls.PopupMenu1 = buildPopupMenu(QStringLiteral("PopupMenu1"), CommandTable::kPopupResults);
    KeyDispatcher::setPopupMenu(m_controls.ListBox1, m_controls.PopupMenu1);
    m_controls.ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(m_controls.ListBox1, &QWidget::customContextMenuRequested, m_controls.PopupMenu1,
        [menu = m_controls.PopupMenu1, list = m_controls.ListBox1](
            const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });

    m_controls.ActionList1->updateAll();
}

QMenu* WindowCommands::buildPopupMenu(const QString& name, const std::vector<CommandTable::Entry>& entries)
{
    auto* menu = new QMenu(&m_window);
    menu->setObjectName(name);
    for (const CommandTable::Entry& entry : entries)
        addCommandEntry(menu, entry);
    return menu;
}

void WindowCommands::addCommandEntry(QMenu* menu, const CommandTable::Entry& entry)
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

void WindowCommands::bindCommand(QAction* entry, const QString& actionName, const QString& entryName)
{
    if (!actionName.isEmpty()) {
        m_controls.ActionList1->find(actionName)->attach(entry);
        return;
    }
    // Entries with a handler of their own; one that has none yet stays greyed.
    const auto handler = m_handlers.constFind(entryName);
    entry->setEnabled(handler != m_handlers.constEnd());
    if (handler != m_handlers.constEnd())
        QObject::connect(entry, &QAction::triggered, &m_window, guard(handler.value()));
}
