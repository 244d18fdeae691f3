#pragma once

#include <QAction>

#include <functional>
#include <vector>

// A command of the action list. Its enabled state is worked out again whenever the program is
// idle and right before it runs; an action without a handler stays disabled. Menu items and tool
// buttons tied to it follow its enabled state and run it through execute().
class Action : public QAction
{
    Q_OBJECT
public:
    Action(const QString& name, const QString& caption, const QKeySequence& shortcut, QObject* parent);

    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    void setUpdateRule(std::function<bool()> rule) { m_updateRule = std::move(rule); }
    const QKeySequence& commandShortcut() const { return m_shortcut; }

    void update();
    // Runs the handler when the action is enabled; true when it ran.
    bool execute();

    // Ties a menu item or tool button to this action: the entry follows the action's enabled
    // state and runs the action; its caption stays its own.
    void attach(QAction* entry);
    // The action an entry is tied to, or nullptr.
    static Action* attachedTo(const QAction* entry);

private:
    std::function<void()> m_handler;
    std::function<bool()> m_updateRule;
    QKeySequence m_shortcut;
};

class ActionList : public QObject
{
    Q_OBJECT
public:
    explicit ActionList(QObject* parent);

    Action* add(const QString& name, const QString& caption, const QKeySequence& shortcut);
    const std::vector<Action*>& actions() const { return m_actions; }
    Action* find(const QString& name) const;
    void updateAll();

private:
    std::vector<Action*> m_actions;
};
