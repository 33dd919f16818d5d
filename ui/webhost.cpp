#include "ui/webhost.h"

#include "ui/pageview.h"

#include <QCoreApplication>
#include <QFrame>
#include <QVBoxLayout>

// Resources of a static library are only linked in when something refers to them.
static void InitPageResources() { Q_INIT_RESOURCE(pages); }

namespace ui {

namespace {

    // The machine may have no network at all: an engine that keeps looking for updates,
    // safe-browsing lists or DNS answers only waits and fills logs. Bundled pages need none of it.
    constexpr char kQuietEngineFlags[] = "--disable-background-networking "
                                         "--disable-component-update "
                                         "--disable-domain-reliability "
                                         "--dns-prefetch-disable "
                                         "--no-pings";

    constexpr char kHostName[] = "webHost";

} // namespace

WebHost::WebHost() { InitPageResources(); }

WebHost::~WebHost() { Destroy(); }

std::vector<std::pair<QByteArray, QByteArray>> WebHost::EngineEnvironment(
    bool runsAsAdministrator, const QByteArray& presetFlags)
{
    QByteArray flags = presetFlags.trimmed();
    if (!flags.isEmpty())
        flags += ' ';
    flags += kQuietEngineFlags;
    std::vector<std::pair<QByteArray, QByteArray>> environment
        = { { "QTWEBENGINE_CHROMIUM_FLAGS", flags } };
    // The engine's sandbox cannot confine a process of the administrator, so the engine refuses to
    // start as root unless told to run without it. Only then is it turned off: for any other user
    // the sandbox stays, since the pages it renders may come from the network.
    if (runsAsAdministrator)
        environment.emplace_back("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return environment;
}

void WebHost::PrepareProcess(bool runsAsAdministrator)
{
    for (const auto& [name, value] :
        EngineEnvironment(runsAsAdministrator, qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")))
        qputenv(name.constData(), value);
    // The engine shares its drawing contexts with the widgets; this must be settled before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QWidget* WebHost::Create(QWidget* parent, const QString& address, int left, int top, int width,
    int height, int styleMode)
{
    Destroy();
    auto* host = new QFrame(parent);
    host->setObjectName(QLatin1String(kHostName));
    host->setAttribute(Qt::WA_DeleteOnClose);
    host->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    host->setLineWidth(kEdge);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    PageView* page = CreatePageView(host);
    layout->addWidget(page);
    host->setGeometry(left, top, width, height);
    page->Load(QUrl(address));
    if (styleMode == VisibleWithScrollBar || styleMode == Visible)
        host->show();
    m_hostWindow = host;
    return host;
}

void WebHost::Destroy()
{
    if (m_hostWindow)
        QMetaObject::invokeMethod(m_hostWindow.data(), &QWidget::close, Qt::QueuedConnection);
    m_hostWindow = nullptr;
}

void WebHost::Show(int)
{
    if (m_hostWindow)
        m_hostWindow->show();
}

void WebHost::Move(int left, int top, int width, int height)
{
    if (m_hostWindow) {
        m_hostWindow->raise();
        m_hostWindow->setGeometry(left, top, width, height);
    }
}

PageView* WebHost::pageView() const
{
    return m_hostWindow ? m_hostWindow->findChild<PageView*>() : nullptr;
}

} // namespace ui
