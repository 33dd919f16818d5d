#pragma once

#include "ui/donationwindow.h"
#include "ui/helpvideowindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace ui {
class MainWindow;
}

namespace app {

struct AppState;

// The main window's links that open the program's own windows: the product link and both video
// links open the help-video window with a page, the donation link opens the donation window.
class LinkHandlers : public QObject
{
    Q_OBJECT

public:
    LinkHandlers(AppState& state, ui::MainWindow& window);
    // Deletes a help-video window that is still open: its page must go before the application.
    ~LinkHandlers() override;

    // Shows address in a fresh help-video window; an open one is replaced, never reused.
    void OpenHelpVideo(const QString& address);
    // Refits the hosted page to the help-video window's client area.
    void ResizeHelpVideo();
    // Opens the donation window, or brings the open one to the front.
    void OnDonateLinkPressed();
    // Opens the payment page that the donation window's hidden link holds.
    void OnPayButtonClicked();

    ui::HelpVideoWindow* helpVideoWindow() const { return m_helpVideoWindow; }
    ui::DonationWindow* donationWindow() const { return m_donationWindow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& m_state;
    ui::MainWindow& m_window;
    QPointer<ui::HelpVideoWindow> m_helpVideoWindow;
    QPointer<ui::DonationWindow> m_donationWindow;
};

} // namespace app
