#pragma once
// The window's last line of defence: a failure that escapes a command or an
// event handler is reported as "Unhandled error: " + its message, and the
// event loop goes on.
#include <functional>

namespace qm {

void RunGuarded(const std::function<void()>& fn);

// Wraps a handler without arguments for connecting to a signal.
template <class F>
auto Guarded(F fn) {
  return [fn] { RunGuarded(fn); };
}

}  // namespace qm
