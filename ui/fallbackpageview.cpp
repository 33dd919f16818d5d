#include "ui/fallbackpageview.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {

    // Only the program itself can read its bundled pages; a browser given a qrc: address finds
    // nothing.
    bool IsBundled(const QUrl& address) { return address.scheme() == QLatin1String("qrc"); }

} // namespace

FallbackPageView::FallbackPageView(QWidget* parent)
    : PageView(parent)
    , m_opener([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    m_addressLabel = new QLabel(this);
    m_addressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_addressLabel->setTextFormat(Qt::PlainText);
    m_addressLabel->setWordWrap(true);
    m_openButton = new QPushButton(QStringLiteral("在浏览器中打开"), this);
    m_pageText = new QTextBrowser(this);
    m_pageText->setOpenLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_addressLabel);
    layout->addWidget(m_openButton, 0, Qt::AlignLeft);
    layout->addWidget(m_pageText, 1);

    connect(m_openButton, &QPushButton::clicked, this, [this] { OpenInBrowser(); });
}

void FallbackPageView::Load(const QUrl& address)
{
    m_address = address;
    m_addressLabel->setText(address.toDisplayString());
    const bool bundled = IsBundled(address);
    m_openButton->setVisible(!bundled);
    if (bundled) {
        m_pageText->setSource(address.adjusted(QUrl::RemoveFragment), QTextDocument::HtmlResource);
    } else {
        m_pageText->setPlainText(QStringLiteral("此页面需要网络，请点上面的按钮用浏览器打开。"));
    }
    const bool ok = !bundled || !m_pageText->document()->isEmpty();
    // The engine reports a load later, from the event loop; so does this view, so that callers see
    // the same order of events from both.
    QTimer::singleShot(0, this, [this, ok] { emit loadFinished(ok); });
}

void FallbackPageView::EvaluateScript(const QString&, ScriptResult done)
{
    if (done)
        QTimer::singleShot(0, this, [done = std::move(done)] { done(QVariant()); });
}

bool FallbackPageView::OpenInBrowser()
{
    if (m_address.isEmpty() || IsBundled(m_address) || !m_opener)
        return false;
    return m_opener(m_address);
}

} // namespace ui
