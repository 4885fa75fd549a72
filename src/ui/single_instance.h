#pragma once
// Finding the running instance and telling it about a new request. A per-user
// local socket stands in for the hidden "QM-AppID" window; the text
// "NEW_MSG_MESSAGE" is the notification.
#include <QLocalServer>
#include <QObject>
#include <string>

namespace qm {

constexpr const char* kNewMsgMessage = "NEW_MSG_MESSAGE";

// "QM-AppID-<uid>", plus a tag of the data directory when QUILLMAR_HOME picks
// one, so that instances on different data directories stay apart.
QString InstanceServerName(const std::string& app_dir);

// True when an instance answers under `name`. With `notify`, it is sent the
// notification first.
bool ContactRunningInstance(const QString& name, bool notify);

// The marker of the first instance: listens and announces each notification.
class TfrmAppID : public QObject {
  Q_OBJECT
 public:
  explicit TfrmAppID(QObject* parent = nullptr);
  bool Listen(const QString& name);

 signals:
  void NewMsgMessage();

 private:
  void OnConnection();
  QLocalServer server_;
};

}  // namespace qm
