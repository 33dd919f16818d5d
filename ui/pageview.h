#pragma once

#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <functional>

namespace ui {

// The widget that renders one web page inside a window: the embedded browser engine where the
// program was built with it, a plain view otherwise.
class PageView : public QWidget
{
    Q_OBJECT

public:
    using ScriptResult = std::function<void(const QVariant&)>;

    using QWidget::QWidget;

    virtual void Load(const QUrl& address) = 0;
    virtual QUrl address() const = 0;
    // Runs script in the page and hands its result to done, later, on this thread. A view that runs
    // no scripts hands over an invalid value.
    virtual void EvaluateScript(const QString& script, ScriptResult done) = 0;

signals:
    void loadFinished(bool ok);
};

// Made with the browser engine when the build has it, otherwise the plain view.
PageView* CreatePageView(QWidget* parent);
// Whether CreatePageView gives the browser engine.
bool PageViewsRunScripts();

} // namespace ui
