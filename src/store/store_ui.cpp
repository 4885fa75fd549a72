#include "store/store_ui.h"

#include <mutex>

namespace qm {

namespace {

std::mutex& HooksMutex() {
  static std::mutex m;
  return m;
}
std::shared_ptr<StoreUi>& UiSlot() {
  static std::shared_ptr<StoreUi> ui;
  return ui;
}
std::shared_ptr<MailTaskStarter>& StarterSlot() {
  static std::shared_ptr<MailTaskStarter> starter;
  return starter;
}

}  // namespace

std::shared_ptr<StoreUi> SetStoreUi(std::shared_ptr<StoreUi> ui) {
  std::lock_guard<std::mutex> lock(HooksMutex());
  std::swap(UiSlot(), ui);
  return ui;
}

std::shared_ptr<StoreUi> GetStoreUi() {
  std::lock_guard<std::mutex> lock(HooksMutex());
  return UiSlot();
}

std::shared_ptr<MailTaskStarter> SetMailTaskStarter(std::shared_ptr<MailTaskStarter> starter) {
  std::lock_guard<std::mutex> lock(HooksMutex());
  std::swap(StarterSlot(), starter);
  return starter;
}

std::shared_ptr<MailTaskStarter> GetMailTaskStarter() {
  std::lock_guard<std::mutex> lock(HooksMutex());
  return StarterSlot();
}

}  // namespace qm
