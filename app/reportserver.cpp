#include "app/reportserver.h"

#include "platform/platform.h"

#include <QLineEdit>
#include <QLocalSocket>
#include <QTimer>

#include <vector>

namespace app {

namespace {

    // Texts set into the box in one turn of the event loop. Each becomes one row, so a flood is
    // listed in slices and the window keeps answering between them.
    constexpr std::size_t kTextsPerTurn = 256;
    // Past this many waiting texts no socket is read: the senders wait in the kernel instead of
    // the backlog growing without bound in memory.
    constexpr std::size_t kMaxPendingTexts = 4096;
    // Qt's own read buffer per connection; without a limit it takes in all a sender writes.
    constexpr qint64 kReadBufferBytes = 64 * 1024;
    constexpr int kProbeMilliseconds = 1000;

} // namespace

ReportServer::ReportServer(platform::Platform& system, QLineEdit& reportBox, QObject* parent)
    : QObject(parent)
    , m_system(system)
    , m_reportBox(reportBox)
{
    connect(&m_server, &QLocalServer::newConnection, this, &ReportServer::OnNewConnection);
}

ReportServer::~ReportServer()
{
    // The sockets are children of the server, which outlives the readers among the members: a
    // socket that reports its end while it is destroyed must no longer reach them.
    for (const auto& [socket, reader] : m_readers)
        socket->disconnect(this);
    m_readers.clear();
    m_server.close();
}

ReportServer::ListenResult ReportServer::Listen()
{
    const std::string folder = m_system.RuntimeFolder();
    if (folder.empty())
        return ListenResult::Failed;
    if (!m_system.MakePrivateFolder(folder))
        return ListenResult::FolderRefused;
    m_socketPath = folder + "/" + text::kReportSocketName;
    const QString path = socketPath();

    // Only a socket that nobody answers on is removed; a live or busy one belongs to another
    // instance, which keeps it.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kProbeMilliseconds)) {
        probe.disconnectFromServer();
        return ListenResult::AnotherInstance;
    }
    if (probe.error() == QLocalSocket::ConnectionRefusedError)
        QLocalServer::removeServer(path);
    else if (probe.error() != QLocalSocket::ServerNotFoundError)
        return ListenResult::AnotherInstance;

    // No socket options: with them the socket is made elsewhere and renamed into place, which
    // would replace a socket that another instance bound meanwhile; a plain bind fails instead.
    // The private folder already keeps everybody else away from the socket.
    return m_server.listen(path) ? ListenResult::Listening : ListenResult::Failed;
}

QString ReportServer::socketPath() const { return QString::fromStdString(m_socketPath); }

void ReportServer::OnNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (!m_system.PeerIsSameUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(kReadBufferBytes);
        m_readers.emplace(socket, text::ReportReader());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { ReadFrom(socket); });
        ReadFrom(socket);
    }
}

void ReportServer::ReadFrom(QLocalSocket* socket)
{
    const auto reader = m_readers.find(socket);
    if (reader == m_readers.end())
        return;
    std::vector<std::string> texts;
    char buffer[16 * 1024];
    while (m_pending.size() < kMaxPendingTexts && socket->bytesAvailable() > 0) {
        const qint64 got = socket->read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        reader->second.Feed(std::string_view(buffer, static_cast<std::size_t>(got)), texts);
        for (std::string& text : texts)
            m_pending.push_back(std::move(text));
        texts.clear();
    }
    if (!m_pending.empty())
        ScheduleApply();
    // A message without its newline at the end of a stream is dropped with the reader.
    if (socket->state() == QLocalSocket::UnconnectedState && socket->bytesAvailable() == 0) {
        m_readers.erase(reader);
        socket->deleteLater();
    }
}

void ReportServer::ScheduleApply()
{
    if (m_applyScheduled)
        return;
    m_applyScheduled = true;
    QTimer::singleShot(0, this, &ReportServer::ApplyPending);
}

void ReportServer::ApplyPending()
{
    m_applyScheduled = false;
    for (std::size_t i = 0; i < kTextsPerTurn && !m_pending.empty(); ++i) {
        const std::string text = std::move(m_pending.front());
        m_pending.pop_front();
        m_reportBox.setText(QString::fromStdString(text));
    }
    // Connections held back while the backlog was full are read again as it drains.
    if (m_pending.size() < kMaxPendingTexts) {
        std::vector<QLocalSocket*> held;
        for (const auto& [socket, reader] : m_readers) {
            if (socket->bytesAvailable() > 0 || socket->state() == QLocalSocket::UnconnectedState)
                held.push_back(socket);
        }
        for (QLocalSocket* socket : held)
            ReadFrom(socket);
    }
    if (!m_pending.empty())
        ScheduleApply();
}

} // namespace app
