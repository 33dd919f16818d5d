#pragma once

#include "text/reportreader.h"

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <deque>
#include <string>
#include <unordered_map>

class QLineEdit;
class QLocalSocket;

namespace platform {
class Platform;
}

namespace app {

// Lets another process of the same user set the text of the hidden report box, which another
// program cannot reach on this system: every text that arrives on the report socket becomes the
// box's text in turn, and the box's own change handler lists it.
class ReportServer : public QObject
{
    Q_OBJECT

public:
    enum class ListenResult
    {
        Listening,
        FolderRefused, // the runtime folder is a link, someone else's, or open to others
        AnotherInstance, // a running instance answers on the socket; it keeps it
        Failed,
    };

    ReportServer(platform::Platform& system, QLineEdit& reportBox, QObject* parent = nullptr);
    ~ReportServer() override;

    ListenResult Listen();
    bool isListening() const { return m_server.isListening(); }
    QString socketPath() const;

    // Texts taken from the sockets but not yet set into the box.
    std::size_t pendingTexts() const { return m_pending.size(); }

private:
    void OnNewConnection();
    void ReadFrom(QLocalSocket* socket);
    void ScheduleApply();
    void ApplyPending();

    platform::Platform& m_system;
    QLineEdit& m_reportBox;
    QLocalServer m_server;
    std::string m_socketPath;
    std::unordered_map<QLocalSocket*, text::ReportReader> m_readers;
    std::deque<std::string> m_pending;
    bool m_applyScheduled = false;
};

} // namespace app
