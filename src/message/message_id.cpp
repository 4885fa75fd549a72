#include "message/message_id.h"

#include <chrono>
#include <mutex>
#include <random>

namespace qm {

namespace {

// One generator for the process, seeded from the system's entropy and the
// clock: reseeding from the clock for every identifier would give two
// messages saved within one clock tick the same Message-ID.
std::string RandomLetters(int count, char last) {
  static std::mutex mutex;
  static std::mt19937_64 rng = [] {
    std::random_device rd;
    std::seed_seq seq{static_cast<uint64_t>(rd()), static_cast<uint64_t>(rd()),
                      static_cast<uint64_t>(
                          std::chrono::steady_clock::now().time_since_epoch().count()),
                      static_cast<uint64_t>(
                          std::chrono::system_clock::now().time_since_epoch().count())};
    return std::mt19937_64(seq);
  }();
  std::uniform_int_distribution<int> pick(0, last - 'a');
  std::lock_guard<std::mutex> lock(mutex);
  std::string out;
  for (int i = 0; i < count; ++i) out += static_cast<char>('a' + pick(rng));
  return out;
}

}  // namespace

std::string NewMessageID() {
  return "<QMMail." + RandomLetters(8, 't') + "@" + kMessageIDHost + ">";
}

std::string NewBoundary() { return "--QM_Bound_" + RandomLetters(18, 'y'); }

}  // namespace qm
