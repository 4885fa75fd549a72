#include "ui/single_instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMetaObject>
#include <cstdlib>

namespace qm {

QString InstanceServerName(const std::string& app_dir) {
  QString name = QString("QM-AppID-%1").arg(static_cast<qulonglong>(::getuid()));
  const char* home = std::getenv("QUILLMAR_HOME");
  if (home && *home) {
    QByteArray h = QCryptographicHash::hash(QByteArray::fromStdString(app_dir), QCryptographicHash::Sha1).toHex();
    name += "-" + QString::fromLatin1(h.left(12));
  }
  // The runtime directory is the user's own, so nobody else can put a socket
  // of that name in our way. Socket paths are limited to about 100 bytes.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && QFileInfo(QString::fromLocal8Bit(runtime)).isDir()) {
    QString path = QDir(QString::fromLocal8Bit(runtime)).filePath(name);
    if (path.toLocal8Bit().size() < 100) return path;
  }
  return QDir(QDir::tempPath()).filePath(name);
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

bool TfrmAppID::ListenOwnerOnly(const QString& name) {
  // Without socket options the bind fails on an existing socket; with them
  // the socket is made elsewhere and renamed over the name, which would take
  // it silently from a running instance. The mask keeps other users out.
  server_.setSocketOptions(QLocalServer::NoOptions);
  const mode_t old_mask = ::umask(077);
  const bool ok = server_.listen(name);
  ::umask(old_mask);
  return ok;
}

InstanceClaim TfrmAppID::Claim(const QString& name) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (ListenOwnerOnly(name)) return InstanceClaim::kClaimed;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return InstanceClaim::kFailed;
    if (ContactRunningInstance(name, false)) return InstanceClaim::kRunning;
    // Nobody answers: a socket left behind by an instance that died.
    QLocalServer::removeServer(name);
  }
  return InstanceClaim::kFailed;
}

void TfrmAppID::StartDelivering() {
  if (delivering_) return;
  delivering_ = true;
  for (; held_ > 0; --held_) QMetaObject::invokeMethod(this, &TfrmAppID::NewMsgMessage, Qt::QueuedConnection);
}

void TfrmAppID::Notified() {
  if (delivering_)
    emit NewMsgMessage();
  else
    ++held_;
}

void TfrmAppID::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto read_lines = [this, socket] {
      while (socket->canReadLine()) {
        QByteArray line = socket->readLine().trimmed();
        if (line == kNewMsgMessage) Notified();
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, read_lines);
    read_lines();
  }
}

}  // namespace qm
