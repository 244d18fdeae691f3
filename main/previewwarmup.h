#pragma once

#include <QObject>

class PageView;
class QTimer;

// Starts the preview's engine before the first preview asks for it, so that the first F11 of a
// run shows its page about as fast as the later ones. Asked for when a preview becomes likely (a
// script is open), it waits until the start-up load is done and the user has left the keyboard
// and mouse alone for a moment, then starts the engine in the hidden page; any key or click
// meanwhile puts it off again. A start that never opens a script never starts the engine.
class PreviewWarmUp : public QObject
{
public:
    // `startupDone` says whether the start-up load has finished.
    PreviewWarmUp(PageView* view, std::function<bool()> startupDone, QObject* parent);

    // A preview has become likely; does nothing once the engine runs.
    void request();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void warmUp();

    PageView* m_view;
    std::function<bool()> m_startupDone;
    QTimer* m_quiet;
};
