#pragma once

#include <functional>

namespace qm {

// Runs fn on the interface thread and waits for it; an exception it throws
// comes back to the caller's thread. On the interface thread fn runs at once.
void RunOnUiThread(const std::function<void()>& fn);
// Runs fn on the interface thread later, after what was handed over before,
// without waiting for it.
void PostToUiThread(std::function<void()> fn);

}  // namespace qm
