#include "ui/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalSocket>
#include <cstdlib>

namespace qm {

QString InstanceServerName(const std::string& app_dir) {
  QString name = QString("QM-AppID-%1").arg(static_cast<qulonglong>(::getuid()));
  const char* home = std::getenv("QUILLMAR_HOME");
  if (home && *home) {
    QByteArray h = QCryptographicHash::hash(QByteArray::fromStdString(app_dir), QCryptographicHash::Sha1).toHex();
    name += "-" + QString::fromLatin1(h.left(12));
  }
  return name;
}

bool ContactRunningInstance(const QString& name, bool notify) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(1000)) return false;
  if (notify) {
    socket.write(QByteArray(kNewMsgMessage) + "\n");
    socket.flush();
    socket.waitForBytesWritten(2000);
  }
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
  return true;
}

TfrmAppID::TfrmAppID(QObject* parent) : QObject(parent) {
  setObjectName("QM-AppID");
  connect(&server_, &QLocalServer::newConnection, this, &TfrmAppID::OnConnection);
}

bool TfrmAppID::Listen(const QString& name) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name)) return true;
  // A socket left behind by an instance that died.
  QLocalServer::removeServer(name);
  return server_.listen(name);
}

void TfrmAppID::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        QByteArray line = socket->readLine().trimmed();
        if (line == kNewMsgMessage) emit NewMsgMessage();
      }
    });
  }
}

}  // namespace qm
