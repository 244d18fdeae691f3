#include "action.h"

#include "widgets/errorguard.h"

#include <QAbstractEventDispatcher>
#include <QThread>

Action::Action(const QString& name, const QString& caption, const QKeySequence& shortcut, QObject* parent)
    : QAction(caption, parent)
    , m_shortcut(shortcut)
{
    setObjectName(name);
    setEnabled(false);
}

void Action::update()
{
    bool enabled = bool(m_handler);
    if (enabled && m_updateRule) {
        // A rule that cannot be worked out leaves the command off rather than nagging while idle.
        try {
            enabled = m_updateRule();
        } catch (const std::exception&) {
            enabled = false;
        }
    }
    setEnabled(enabled);
}

bool Action::execute()
{
    update();
    if (!isEnabled())
        return false;
    guarded(m_handler);
    return true;
}

namespace {
const char* const kAttachedActionProperty = "attachedAction";
}

void Action::attach(QAction* entry)
{
    entry->setProperty(kAttachedActionProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    entry->setEnabled(isEnabled());
    connect(this, &QAction::enabledChanged, entry, &QAction::setEnabled);
    connect(entry, &QAction::triggered, this, [this] { execute(); });
}

Action* Action::attachedTo(const QAction* entry)
{
    return qobject_cast<Action*>(entry->property(kAttachedActionProperty).value<QObject*>());
}

ActionList::ActionList(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("ActionList1"));
    // "Idle" is the moment the event loop runs out of events and is about to wait.
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &ActionList::updateAll);
}

Action* ActionList::add(const QString& name, const QString& caption, const QKeySequence& shortcut)
{
    auto* action = new Action(name, caption, shortcut, this);
    m_actions.push_back(action);
    return action;
}

Action* ActionList::find(const QString& name) const
{
    for (Action* action : m_actions) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

void ActionList::updateAll()
{
    for (Action* action : m_actions)
        action->update();
}
