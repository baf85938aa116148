#include "backend/backend.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "compat/testing.h"

namespace compat {

namespace {

std::mutex choosing;
std::atomic<Backend *> active{nullptr};
Backend *headless = nullptr;

Backend &Headless() {
  if (headless == nullptr) headless = MakeHeadlessBackend();
  return *headless;
}

}  // namespace

Backend &ActiveBackend() {
  Backend *chosen = active.load(std::memory_order_acquire);
  if (chosen != nullptr) return *chosen;
  std::lock_guard<std::mutex> lock(choosing);
  if (active.load() == nullptr) {
    const char *name = std::getenv("LUMIVANE_BACKEND");
    const bool wantHeadless = name != nullptr && std::strcmp(name, "headless") == 0;
    active = wantHeadless ? &Headless() : MakeSdlBackend();
  }
  return *active.load();
}

namespace testing {

void UseHeadless() {
  std::lock_guard<std::mutex> lock(choosing);
  active = &Headless();
}

bool HeadlessActive() {
  std::lock_guard<std::mutex> lock(choosing);
  return headless != nullptr && active.load() == headless;
}

uint64_t PresentedFrames() { return ActiveBackend().PresentedFrames(); }

}  // namespace testing

}  // namespace compat
