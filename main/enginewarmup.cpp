#include "enginewarmup.h"

#include "pageengineloader.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>

namespace {
// How long the user must leave the program alone before a part is readied, and the pause between
// parts while they do: a user reading the window, not one working in it.
constexpr int kQuietMs = 1000;
constexpr int kBetweenPartsMs = 50;
// How often a module loading on its thread is looked at.
constexpr int kLoadCheckMs = 20;

bool isInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
        return true;
    default:
        return false;
    }
}
} // namespace

EngineWarmUp::EngineWarmUp(QObject* parent, std::function<bool()> previewLikely)
    : QObject(parent)
    , m_previewLikely(std::move(previewLikely))
    , m_next(new QTimer(this))
{
    m_next->setSingleShot(true);
    connect(m_next, &QTimer::timeout, this, &EngineWarmUp::step);
    qApp->installEventFilter(this);
    m_sinceInput.start();
    m_next->start(kQuietMs);
}

EngineWarmUp::~EngineWarmUp()
{
    stop();
}

void EngineWarmUp::stop()
{
    if (m_stage == Stage::Finished)
        return;
    m_stage = Stage::Finished;
    m_next->stop();
    qApp->removeEventFilter(this);
}

bool EngineWarmUp::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    if (!isInput(event))
        return false;
    m_sinceInput.start();
    // A module loading on its thread keeps loading; only the parts on this thread wait.
    if (m_stage != Stage::Loading)
        m_next->start(kQuietMs);
    return false;
}

void EngineWarmUp::step()
{
    QElapsedTimer held;
    held.start();
    advance();
    m_longestPartNs = std::max(m_longestPartNs, held.nsecsElapsed());
}

void EngineWarmUp::advance()
{
    if (m_stage == Stage::Finished)
        return;
    // A box the user is to answer comes first.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()
        || (m_stage == Stage::Waiting && !m_previewLikely())) {
        m_next->start(kQuietMs);
        return;
    }
    if (m_stage != Stage::Preparing) {
        m_stage = Stage::Loading;
        switch (PageEngineLoader::loadInBackground()) {
        case PageEngineLoader::BackgroundLoad::Running:
            m_next->start(kLoadCheckMs);
            return;
        case PageEngineLoader::BackgroundLoad::Failed:
            stop();
            return;
        case PageEngineLoader::BackgroundLoad::Loaded:
            m_stage = Stage::Preparing;
            break;
        }
    }
    if (m_sinceInput.elapsed() < kQuietMs) {
        m_next->start(int(kQuietMs - m_sinceInput.elapsed()));
        return;
    }
    const PreparePageEngine prepare = PageEngineLoader::preparer();
    if (!prepare) {
        stop();
        return;
    }
    if (prepare()) {
        m_next->start(kBetweenPartsMs);
        return;
    }
    m_completed = true;
    stop();
}
