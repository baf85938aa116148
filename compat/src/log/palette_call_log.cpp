#include "log/palette_call_log.h"

#include <atomic>
#include <mutex>

namespace compat {

namespace {
std::atomic<bool> enabled{false};
std::mutex guard;
std::vector<std::string> calls;
}  // namespace

void EnablePaletteCallLog(bool on) { enabled = on; }

void RecordPaletteCall(const char *name) {
  if (!enabled) return;
  std::lock_guard<std::mutex> lock(guard);
  calls.emplace_back(name);
}

std::vector<std::string> TakePaletteCallLog() {
  std::lock_guard<std::mutex> lock(guard);
  std::vector<std::string> taken;
  taken.swap(calls);
  return taken;
}

}  // namespace compat
