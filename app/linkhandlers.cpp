#include "app/linkhandlers.h"

#include "app/appstate.h"
#include "ui/donationwindow.h"
#include "ui/helpvideowindow.h"
#include "ui/hyperlink.h"
#include "ui/mainwindow.h"
#include "ui/picturebutton.h"
#include "ui/webaddresses.h"
#include "ui/webhost.h"

#include <QEvent>

namespace app {

namespace {

    // The page sits 2 pixels up and left of the client area and 4 pixels wider, so that the host's
    // sunken edge falls outside the window on three sides; only the bottom edge shows.
    constexpr int kPageOffset = -2;
    constexpr int kExtraWidth = 4;

} // namespace

LinkHandlers::LinkHandlers(AppState& state, ui::MainWindow& window)
    : m_state(state)
    , m_window(window)
{
    // On the press, not the release; none of these links has a target of its own.
    connect(window.productLink(), &ui::Hyperlink::pressed, this,
        [this] { OpenHelpVideo(QString::fromUtf8(ui::kHomePageAddress)); });
    connect(window.videoLink(), &ui::Hyperlink::pressed, this,
        [this] { OpenHelpVideo(QString::fromUtf8(ui::kRepairGuideAddress)); });
    connect(window.aboutVideoLink(), &ui::Hyperlink::pressed, this,
        [this] { OpenHelpVideo(ui::RepairPlayerAddress()); });
    connect(
        window.donationLink(), &ui::Hyperlink::pressed, this, &LinkHandlers::OnDonateLinkPressed);
    window.installEventFilter(this);
}

LinkHandlers::~LinkHandlers() { delete m_helpVideoWindow.data(); }

void LinkHandlers::OpenHelpVideo(const QString& address)
{
    if (m_helpVideoWindow) {
        m_helpVideoWindow->close();
        // close() only schedules the deletion; the new window must not meet the old one.
        delete m_helpVideoWindow.data();
    }
    auto* helpWindow = new ui::HelpVideoWindow;
    m_helpVideoWindow = helpWindow;
    connect(helpWindow, &ui::HelpVideoWindow::resized, this, &LinkHandlers::ResizeHelpVideo);
    helpWindow->show();

    const QSize client = helpWindow->size();
    m_state.webHost->Create(helpWindow, address, kPageOffset, kPageOffset,
        client.width() + kExtraWidth, client.height());
    m_state.platform->TrimWorkingSet();
}

void LinkHandlers::ResizeHelpVideo()
{
    if (!m_helpVideoWindow)
        return;
    const QSize client = m_helpVideoWindow->size();
    m_state.webHost->Move(kPageOffset, kPageOffset, client.width() + kExtraWidth, client.height());
}

void LinkHandlers::OnDonateLinkPressed()
{
    if (m_donationWindow) {
        m_donationWindow->showNormal();
        m_donationWindow->raise();
        m_donationWindow->activateWindow();
        return;
    }
    auto* donation = new ui::DonationWindow(&m_window);
    m_donationWindow = donation;
    connect(donation->payButton(), &ui::PictureButton::clicked, this,
        &LinkHandlers::OnPayButtonClicked);
    donation->show();
}

void LinkHandlers::OnPayButtonClicked()
{
    if (m_donationWindow)
        m_donationWindow->paymentLink()->OpenTarget();
}

bool LinkHandlers::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the main window ends the windows it owns. Qt would only hide it and leave a window of
    // its own open above nothing; the help-video window has no owner and stays.
    if (watched == &m_window && event->type() == QEvent::Close && m_donationWindow)
        m_donationWindow->close();
    return QObject::eventFilter(watched, event);
}

} // namespace app
