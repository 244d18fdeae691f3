#pragma once

#include "pageengine.h"

#include <QObject>

class PreviewPage;
class QWebEngineView;
class RendererMemoryLimit;

// The engine module's side of PageEngine: a web view showing one PreviewPage at a time.
class WebPageEngine final : public PageEngine
{
public:
    WebPageEngine(QWidget* parent, const Events& events);
    ~WebPageEngine() override;

    QWidget* widget() override;
    void load(const QUrl& url, const QString& scriptName) override;
    void evaluate(const QString& script, std::function<void(const QVariant&)> answer) override;
    void replacePage() override;

private:
    void usePage(PreviewPage* page);

    QWidget* m_parent;
    // The pages' signals reach the callbacks through this: a replaced page is cut off from it,
    // and nothing reaches them once the engine is gone.
    QObject m_callbacks;
    Events m_events;
    QWebEngineView* m_view;
    PreviewPage* m_page = nullptr;
    RendererMemoryLimit* m_memoryLimit = nullptr;
};
