#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

// Readies the preview's engine ahead of the first preview, while the user leaves the program
// idle and a preview is likely: the module's libraries are loaded on a thread of their own, then
// the engine's parts are readied on the application's thread one at a time, each only after a
// quiet while without input. A key or a click puts the next part off until the user is idle
// again; a part under way is not cut short, so the longest part is the most a key can wait.
class EngineWarmUp : public QObject
{
public:
    // Asks whether a preview is likely before each part.
    EngineWarmUp(QObject* parent, std::function<bool()> previewLikely);
    ~EngineWarmUp() override;

    // Readies nothing more from now on.
    void stop();
    // Whether every part was readied.
    bool completed() const { return m_completed; }
    // The longest time a part, or a look at how far the rest has got, held the application's
    // thread, in nanoseconds.
    qint64 longestPartNs() const { return m_longestPartNs; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Stage { Waiting, Loading, Preparing, Finished };

    void step();
    void advance();

    std::function<bool()> m_previewLikely;
    QTimer* m_next;
    QElapsedTimer m_sinceInput;
    Stage m_stage = Stage::Waiting;
    bool m_completed = false;
    qint64 m_longestPartNs = 0;
};
