#include "ui/enginepageview.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace ui {

EnginePageView::EnginePageView(QWidget* parent)
    : PageView(parent)
    , m_view(new QWebEngineView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadFinished, this, &PageView::loadFinished);
}

void EnginePageView::Load(const QUrl& address) { m_view->load(address); }

// The address asked for, fragment included, until the page itself navigates elsewhere.
QUrl EnginePageView::address() const { return m_view->url(); }

void EnginePageView::EvaluateScript(const QString& script, ScriptResult done)
{
    m_view->page()->runJavaScript(script, [done = std::move(done)](const QVariant& result) {
        if (done)
            done(result);
    });
}

PageView* CreatePageView(QWidget* parent) { return new EnginePageView(parent); }
bool PageViewsRunScripts() { return true; }

} // namespace ui
