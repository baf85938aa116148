#include "log/call_log.h"

#include <atomic>
#include <mutex>

namespace compat {

namespace {
std::atomic<bool> enabled{false};
std::mutex guard;
std::vector<std::string> calls;
}  // namespace

void EnableCallLog(bool on) { enabled = on; }

bool CallLogEnabled() { return enabled; }

void RecordCall(const char *name) {
  if (!enabled) return;
  std::lock_guard<std::mutex> lock(guard);
  calls.emplace_back(name);
}

std::vector<std::string> TakeCallLog() {
  std::lock_guard<std::mutex> lock(guard);
  std::vector<std::string> taken;
  taken.swap(calls);
  return taken;
}

}  // namespace compat
