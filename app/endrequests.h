#pragma once

#include <QObject>

class QSocketNotifier;

// The requests to end the program that come from outside and that nobody answers: SIGTERM,
// SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C in a terminal, a closed terminal) and the
// desktop session's commit-data and save-state. A signal handler may do almost nothing, so it
// only writes a byte into a pipe; the pipe's notifier turns that into endRequested() on the
// event loop.
class EndRequests : public QObject
{
    Q_OBJECT
public:
    explicit EndRequests(QObject* parent = nullptr);
    ~EndRequests() override;

    bool isEnding() const { return m_ending; }

signals:
    // Emitted once, whichever request came first.
    void endRequested();

private:
    void request();

    QSocketNotifier* m_notifier = nullptr;
    bool m_ending = false;
};
