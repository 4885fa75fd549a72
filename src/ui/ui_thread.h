#pragma once

#include <functional>

namespace qm {

// Runs fn on the interface thread and waits for it; an exception it throws
// comes back to the caller's thread. On the interface thread fn runs at once.
void RunOnUiThread(const std::function<void()>& fn);

}  // namespace qm
