#include "ui/ui_store_bridge.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include "store/store_lock.h"
#include "store/store_ui.h"
#include "ui/delete_attachments_dialog.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

bool OnUiThread() { return QThread::currentThread() == qApp->thread(); }

class TUiStoreBridge : public StoreUi {
 public:
  explicit TUiStoreBridge(TfrmMain* main) : main_(main) {}
  TfrmMain* main() const { return main_; }

  // These come with the store lock held: on the UI thread they run at once,
  // from elsewhere they are posted and never waited for.
  void ListAddRow(const cMsgNodeInfo& row, const cMailMessage& msg) override {
    Post([row, msg](TfrmMain* m) { m->ListAddRow(row.Key, msg); });
  }
  void ListRefreshRow(const std::string& key, const cMailMessage& msg) override {
    Post([key, msg](TfrmMain* m) { m->ListRefreshRow(key, msg); });
  }
  void ListRemoveRow(const std::string& key) override {
    Post([key](TfrmMain* m) { m->ListRemoveRow(key); });
  }
  void ListReload() override {
    if (OnUiThread()) {
      StoreUnlock unlock;
      main_->ReloadMessageList();
    } else {
      Post([](TfrmMain* m) { m->ReloadMessageList(); });
    }
  }
  void ShowStatus(const std::string& text) override {
    Post([text](TfrmMain* m) { m->pnlCounters->setText(Q(text)); });
  }

  // The prompts come without the lock and may wait for the UI thread.
  bool AskMailboxPassword(std::string& password) override {
    bool ok = false;
    OnUi([&] {
      auto [confirmed, text] = PromptText<TfrmMailboxPasswordPrompt>("", main_);
      ok = confirmed;
      if (confirmed) password = text.substr(0, 255);
    });
    return ok;
  }
  void DeleteAttachmentsOf(const cMailMessage& msg) override {
    OnUi([&] { qm::DeleteAttachmentsOf(msg, main_); });
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    bool yes = false;
    OnUi([&] {
      yes = QMessageBox::question(main_, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    });
    return yes;
  }
  void OpenAddAccount() override {
    OnUi([&] { main_->AddServer(); });
  }

 private:
  template <class F>
  void Post(F fn) {
    if (OnUiThread()) {
      fn(main_);
      return;
    }
    QPointer<TfrmMain> guard(main_);
    QMetaObject::invokeMethod(
        main_, [guard, fn] {
          if (guard) fn(guard.data());
        },
        Qt::QueuedConnection);
  }
  void OnUi(const std::function<void()>& fn) {
    if (OnUiThread())
      fn();
    else
      QMetaObject::invokeMethod(main_, fn, Qt::BlockingQueuedConnection);
  }
  TfrmMain* main_;
};

}  // namespace

void InstallUiStoreBridge(TfrmMain* main) { SetStoreUi(std::make_shared<TUiStoreBridge>(main)); }

void RemoveUiStoreBridge(TfrmMain* main) {
  auto current = std::dynamic_pointer_cast<TUiStoreBridge>(GetStoreUi());
  if (current && current->main() == main) SetStoreUi(nullptr);
}

}  // namespace qm
