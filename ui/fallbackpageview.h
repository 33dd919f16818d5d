#pragma once

#include "ui/pageview.h"

class QLabel;
class QPushButton;
class QTextBrowser;

namespace ui {

// The page view of a build without a browser engine. A bundled page is shown as rich text (no
// scripts, no inline pictures); any other page is offered as its address and a button that opens
// it in the user's browser.
class FallbackPageView : public PageView
{
    Q_OBJECT

public:
    // Opens an address in the browser; true on success. Replaceable so that tests open nothing.
    using Opener = std::function<bool(const QUrl&)>;

    explicit FallbackPageView(QWidget* parent = nullptr);

    void Load(const QUrl& address) override;
    QUrl address() const override { return m_address; }
    void EvaluateScript(const QString& script, ScriptResult done) override;

    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    // Opens the address in the browser, as the button does.
    bool OpenInBrowser();

    QLabel* addressLabel() const { return m_addressLabel; }
    QPushButton* openButton() const { return m_openButton; }
    QTextBrowser* pageText() const { return m_pageText; }

private:
    QUrl m_address;
    Opener m_opener;
    QLabel* m_addressLabel = nullptr;
    QPushButton* m_openButton = nullptr;
    QTextBrowser* m_pageText = nullptr;
};

} // namespace ui
