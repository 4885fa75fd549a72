#pragma once
// Finding the running instance and telling it about a new request. A per-user
// local socket stands in for the hidden "QM-AppID" window; the text
// "NEW_MSG_MESSAGE" is the notification.
#include <QLocalServer>
#include <QObject>
#include <string>

namespace qm {

constexpr const char* kNewMsgMessage = "NEW_MSG_MESSAGE";

// The socket path: "QM-AppID-<uid>" in $XDG_RUNTIME_DIR (else the temporary
// directory), plus a tag of the data directory when QUILLMAR_HOME picks one,
// so that instances on different data directories stay apart.
QString InstanceServerName(const std::string& app_dir);

// True when an instance answers under `name`. With `notify`, it is sent the
// notification first.
bool ContactRunningInstance(const QString& name, bool notify);

enum class InstanceClaim {
  kClaimed,  // this process is the only instance and now listens
  kRunning,  // another instance answers under the name
  kFailed,   // the name could not be taken; nobody else holds it
};

// The marker of the first instance: listens and announces each notification.
// It listens from the instance check on, so that a start during the first
// one's questions (password, default client, first account) hands over
// instead of starting a second instance; what arrives before StartDelivering
// is held until then.
class TfrmAppID : public QObject {
  Q_OBJECT
 public:
  explicit TfrmAppID(QObject* parent = nullptr);

  // Takes the name unless a live instance holds it; never takes it over from
  // one. A socket left by an instance that died is replaced.
  InstanceClaim Claim(const QString& name);

  // From now on notifications are emitted as they come; the held ones follow
  // from the event loop.
  void StartDelivering();
  int HeldNotifications() const { return held_; }

 signals:
  void NewMsgMessage();

 private:
  bool ListenOwnerOnly(const QString& name);
  void OnConnection();
  void Notified();

  QLocalServer server_;
  bool delivering_ = false;
  int held_ = 0;
};

}  // namespace qm
