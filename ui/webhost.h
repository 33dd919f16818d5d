#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

namespace ui {

class PageView;

// Hosts at most one page in a window: a framed page view created for an address. The program has
// one, made at start-up and released at exit; the help-video window asks it for each page.
class WebHost
{
public:
    // Frame of the host: a 2-pixel sunken edge around the page.
    static constexpr int kEdge = 2;

    enum StyleMode
    {
        VisibleWithScrollBar = 0, // the page scrolls itself, so both modes show the same
        Visible = 1,
    };

    WebHost();
    ~WebHost();
    WebHost(const WebHost&) = default;
    WebHost& operator=(const WebHost&) = default;

    // Environment the browser engine must find before the application object exists: no background
    // traffic, and no sandbox when running as the administrator (the engine refuses to start then).
    static std::vector<std::pair<QByteArray, QByteArray>> EngineEnvironment(
        bool runsAsAdministrator, const QByteArray& presetFlags);
    // Applies EngineEnvironment to this process. Call before QApplication is constructed.
    static void PrepareProcess(bool runsAsAdministrator);

    // Replaces the hosted page by a new one for address, placed in parent's client coordinates. Any
    // other mode than the two above creates it hidden.
    QWidget* Create(QWidget* parent, const QString& address, int left, int top, int width,
        int height, int styleMode = VisibleWithScrollBar);
    QWidget* GetHandle() const { return m_hostWindow; }
    // Asks the hosted page to close (it goes when the event loop next runs) and forgets it.
    void Destroy();
    void Show(int unused);
    // Does nothing when no page is hosted or it has gone with its window.
    void Move(int left, int top, int width, int height);
    bool IsAlive() const { return !m_hostWindow.isNull(); }

    // The page view inside the host, or null.
    PageView* pageView() const;

private:
    // Cleared by Qt when the window it lives in is destroyed, so it is never left dangling.
    QPointer<QWidget> m_hostWindow;
};

} // namespace ui
