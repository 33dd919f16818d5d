#pragma once

#include "ui/pageview.h"

class QWebEngineView;

namespace ui {

// The page view over the embedded browser engine.
class EnginePageView : public PageView
{
    Q_OBJECT

public:
    explicit EnginePageView(QWidget* parent = nullptr);

    void Load(const QUrl& address) override;
    QUrl address() const override;
    void EvaluateScript(const QString& script, ScriptResult done) override;

    QWebEngineView* engineView() const { return m_view; }

private:
    QWebEngineView* m_view = nullptr;
};

} // namespace ui
