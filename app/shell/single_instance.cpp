#include "app/shell/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLockFile>
#include <QWidget>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>

namespace veltrix {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kLockTimeoutMs = 3000;
const QByteArray kFocusRequest = QByteArrayLiteral("focus\n");

}  // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverNameFor(const QString& title) {
  return title + QLatin1Char('-') + QString::number(static_cast<qulonglong>(::getuid()));
}

bool SingleInstance::isListening() const {
  return m_server && m_server->isListening();
}

SingleInstance::Role SingleInstance::start() {
  // Two starts at the same moment must not both find no server and then both listen: the check and
  // the listening happen under a lock.
  QLockFile lock(QDir::temp().filePath(m_serverName + QStringLiteral(".lock")));
  // Without the lock (a program hanging while it holds it) the start goes on unguarded.
  lock.tryLock(kLockTimeoutMs);

  if (sendFocusRequest()) return Role::Second;

  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!m_server->listen(m_serverName)) {
    // Nobody answered, so a socket file that is still there was left by a program that crashed.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
      delete m_server;
      m_server = nullptr;
      return Role::Alone;
    }
  }
  connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  return Role::First;
}

bool SingleInstance::sendFocusRequest() {
  QLocalSocket socket;
  socket.connectToServer(m_serverName);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kFocusRequest);
  const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kConnectTimeoutMs);
  return sent;
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
    readRequests(socket);
  }
}

void SingleInstance::readRequests(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    if (socket->readLine() == kFocusRequest && m_onFocusRequest) m_onFocusRequest();
  }
}

void SingleInstance::bringToFront(QWidget* window) {
  if (!window) return;
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace veltrix
