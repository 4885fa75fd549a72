#include "ui/main_error_guard.h"

#include <exception>
#include <string>

#include "shell/report_error.h"

namespace qm {

void RunGuarded(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ReportError(std::string("Unhandled error: ") + e.what());
  } catch (...) {
    ReportError("Unhandled error: unknown exception");
  }
}

}  // namespace qm
