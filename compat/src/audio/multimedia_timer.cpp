// The multimedia timer: each periodic event runs its callback on a thread of its own, on the
// real clock, so a callback that posts reaches the window thread like a device notification.
#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr UINT SHORTEST_PERIOD_MS = 1;
constexpr UINT LONGEST_PERIOD_MS = 1000000;

struct TimerEvent {
  std::mutex lock;
  std::condition_variable wake;
  bool killed = false;
  bool inCallback = false;
  std::thread::id thread;
};

std::mutex eventsLock;
std::map<UINT, std::shared_ptr<TimerEvent>> events;
UINT lastId = 0;

void Run(std::shared_ptr<TimerEvent> event, UINT id, UINT delay, bool periodic,
         LPTIMECALLBACK callback, DWORD_PTR user) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point due = Clock::now() + std::chrono::milliseconds(delay);
  for (;;) {
    {
      std::unique_lock<std::mutex> hold(event->lock);
      if (event->wake.wait_until(hold, due, [&] { return event->killed; })) return;
      event->inCallback = true;
    }
    callback(id, 0, user, 0, 0);
    {
      std::lock_guard<std::mutex> hold(event->lock);
      event->inCallback = false;
    }
    event->wake.notify_all();
    if (!periodic) return;
    due += std::chrono::milliseconds(delay);
    // A callback that overran does not make the timer fire in a burst to catch up.
    const Clock::time_point now = Clock::now();
    if (due < now) due = now;
  }
}

}  // namespace

MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT capsSize) {
  if (caps == nullptr || capsSize < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
  caps->wPeriodMin = SHORTEST_PERIOD_MS;
  caps->wPeriodMax = LONGEST_PERIOD_MS;
  return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT period) {
  return period >= SHORTEST_PERIOD_MS && period <= LONGEST_PERIOD_MS ? TIMERR_NOERROR
                                                                     : TIMERR_NOCANDO;
}

MMRESULT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (callback == nullptr || delay < SHORTEST_PERIOD_MS || delay > LONGEST_PERIOD_MS) return 0;
  auto event = std::make_shared<TimerEvent>();
  std::lock_guard<std::mutex> hold(eventsLock);
  const UINT id = ++lastId;
  events[id] = event;
  // Detached, so that a process may end with its timers running.
  std::thread thread(Run, event, id, delay, (flags & TIME_PERIODIC) != 0, callback, user);
  event->thread = thread.get_id();
  thread.detach();
  return id;
}

MMRESULT timeKillEvent(UINT id) {
  std::shared_ptr<TimerEvent> event;
  {
    std::lock_guard<std::mutex> hold(eventsLock);
    auto found = events.find(id);
    if (found == events.end()) return MMSYSERR_INVALPARAM;
    event = found->second;
    events.erase(found);
  }
  // Once this returns the callback is not running and never runs again, unless the callback
  // itself is the caller.
  std::unique_lock<std::mutex> hold(event->lock);
  event->killed = true;
  event->wake.notify_all();
  if (event->thread != std::this_thread::get_id())
    event->wake.wait(hold, [&] { return !event->inCallback; });
  return TIMERR_NOERROR;
}
