#include "window/message_queue.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "backend/backend.h"
#include "window/keyboard.h"
#include "window/window_table.h"

namespace compat {

namespace {

std::mutex registryGuard;
std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;

// Unregisters the thread's queue when the thread ends.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    std::lock_guard<std::mutex> lock(registryGuard);
    queues.erase(queue->threadId);
  }
};
thread_local QueueHolder holder;
// The same queue through a plain pointer: a thread_local with a destructor costs a call on
// every access, and PeekMessageA asks for the queue thousands of times a second.
thread_local ThreadQueue *current = nullptr;

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
  if (filterMin == 0 && filterMax == 0) return true;
  return message >= filterMin && message <= filterMax;
}

// A window filter takes the window and its children; -1 takes thread messages only.
bool MatchesWindow(HWND target, HWND filter) {
  if (filter == nullptr) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) return target == nullptr;
  return target == filter || (target != nullptr && IsChildOf(filter, target));
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool TakeMatching(ThreadQueue &queue, std::deque<MSG> &from, MSG *msg, HWND window,
                  UINT filterMin, UINT filterMax, bool remove) {
  for (auto it = from.begin(); it != from.end(); ++it) {
    if (!InRange(it->message, filterMin, filterMax) || !MatchesWindow(it->hwnd, window)) continue;
    *msg = *it;
    if (remove) {
      from.erase(it);
      queue.pending.fetch_sub(1, std::memory_order_relaxed);
    }
    return true;
  }
  return false;
}

void RunSentMessages(ThreadQueue &queue) {
  for (;;) {
    std::shared_ptr<CrossThreadSend> send;
    {
      std::lock_guard<std::mutex> lock(queue.guard);
      if (queue.sent.empty()) return;
      send = queue.sent.front();
      queue.sent.pop_front();
      queue.pending.fetch_sub(1, std::memory_order_relaxed);
    }
    LRESULT result = CallWindowProcedure(send->msg.hwnd, send->msg.message, send->msg.wParam,
                                         send->msg.lParam);
    std::lock_guard<std::mutex> lock(send->guard);
    send->result = result;
    send->done = true;
    send->finished.notify_all();
  }
}

bool PaintMessage(ThreadQueue &queue, MSG *msg, HWND window) {
  for (Window *w : AllWindows(queue.threadId)) {
    if (!w->needsPaint || !MatchesWindow(w->handle, window)) continue;
    *msg = MSG{};
    msg->hwnd = w->handle;
    msg->message = WM_PAINT;
    return true;
  }
  return false;
}

bool Due(DWORD due, DWORD now) { return static_cast<int32_t>(now - due) >= 0; }

// PeekMessageA runs this thousands of times a second while drawing, so the precise clock is
// read only when the coarse one cannot tell whether the earliest timer is due.
bool TimerMessage(ThreadQueue &queue, MSG *msg, HWND window, bool remove, Backend &backend,
                  DWORD coarseNow) {
  Timer *earliest = nullptr;
  for (Timer &t : queue.timers) {
    if (!MatchesWindow(t.window, window)) continue;
    if (earliest == nullptr || static_cast<int32_t>(t.due - earliest->due) < 0) earliest = &t;
  }
  if (earliest == nullptr) return false;
  DWORD now = coarseNow;
  if (!Due(earliest->due, now)) {
    if (static_cast<int32_t>(earliest->due - now) > static_cast<int32_t>(backend.CoarseLag())) return false;
    now = backend.Now();
    if (!Due(earliest->due, now)) return false;
  } else if (remove) {
    now = backend.Now();
  }
  *msg = MSG{};
  msg->hwnd = earliest->window;
  msg->message = WM_TIMER;
  msg->wParam = earliest->id;
  msg->lParam = reinterpret_cast<LPARAM>(earliest->proc);
  msg->time = now;
  // One WM_TIMER per timer at a time: taking it moves the timer to its next period after
  // now, keeping its rhythm (ticks missed meanwhile are not made up).
  if (remove) earliest->due += ((now - earliest->due) / earliest->elapse + 1) * earliest->elapse;
  return true;
}

}  // namespace

bool QueueWait::Arrived() const {
  std::lock_guard<std::mutex> lock(queue_.guard);
  return queue_.arrivals != seen_;
}

void QueueWait::Block(int64_t milliseconds) const {
  std::unique_lock<std::mutex> lock(queue_.guard);
  auto arrived = [&] { return queue_.arrivals != seen_; };
  if (milliseconds < 0) queue_.arrived.wait(lock, arrived);
  else queue_.arrived.wait_for(lock, std::chrono::milliseconds(milliseconds), arrived);
}

ThreadQueue &CurrentQueue() {
  if (current != nullptr) return *current;
  if (!holder.queue) {
    auto queue = std::make_shared<ThreadQueue>();
    queue->threadId = GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(registryGuard);
    queues[queue->threadId] = queue;
    holder.queue = queue;
  }
  current = holder.queue.get();
  return *current;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
  std::lock_guard<std::mutex> lock(registryGuard);
  auto it = queues.find(threadId);
  return it == queues.end() ? nullptr : it->second;
}

void PostToQueue(ThreadQueue &queue, const MSG &msg) {
  std::lock_guard<std::mutex> lock(queue.guard);
  queue.posted.push_back(msg);
  queue.pending.fetch_add(1, std::memory_order_relaxed);
  ++queue.arrivals;
  queue.arrived.notify_all();
}

void PostInput(ThreadQueue &queue, const MSG &msg) {
  std::lock_guard<std::mutex> lock(queue.guard);
  if (msg.message == WM_MOUSEMOVE && !queue.input.empty() &&
      queue.input.back().message == WM_MOUSEMOVE && queue.input.back().hwnd == msg.hwnd) {
    queue.input.back() = msg;
  } else {
    queue.input.push_back(msg);
    queue.pending.fetch_add(1, std::memory_order_relaxed);
  }
  ++queue.arrivals;
  queue.arrived.notify_all();
}

bool RetrieveMessage(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT flags) {
  ThreadQueue &queue = CurrentQueue();
  Backend &backend = ActiveBackend();
  // One reading of the cheap clock serves the pump and the timers; a pump takes time, so the
  // clock is read again after one.
  DWORD coarseNow = backend.CoarseNow();
  if (backend.PumpDue(coarseNow)) {
    backend.Pump();
    coarseNow = backend.CoarseNow();
  }
  const bool remove = (flags & PM_REMOVE) != 0;

  if (queue.pending.load(std::memory_order_relaxed) > 0) {
    RunSentMessages(queue);
    bool found = false;
    bool fromInput = false;
    {
      std::lock_guard<std::mutex> lock(queue.guard);
      found = TakeMatching(queue, queue.posted, msg, window, filterMin, filterMax, remove);
      if (!found) {
        found = TakeMatching(queue, queue.input, msg, window, filterMin, filterMax, remove);
        fromInput = found;
      }
    }
    if (found) {
      if (fromInput && remove) {
        NoteRetrievedKey(*msg);
        // Windows asks the window for its cursor as each mouse message is taken.
        if (IsMouseMessage(msg->message) && msg->hwnd != nullptr)
          CallWindowProcedure(msg->hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg->hwnd),
                              MAKELPARAM(HTCLIENT, msg->message));
      }
      return true;
    }
  }
  // Like Windows, the quit message comes whatever the filter.
  if (queue.quit) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(queue.quitCode);
    msg->time = backend.Now();
    if (remove) queue.quit = false;
    return true;
  }
  if (queue.paintRequests > 0 && InRange(WM_PAINT, filterMin, filterMax) &&
      PaintMessage(queue, msg, window))
    return true;
  if (!queue.timers.empty() && InRange(WM_TIMER, filterMin, filterMax))
    return TimerMessage(queue, msg, window, remove, backend, coarseNow);
  return false;
}

bool WaitAndRetrieve(MSG *msg, HWND window, UINT filterMin, UINT filterMax) {
  ThreadQueue &queue = CurrentQueue();
  for (;;) {
    uint64_t seen;
    {
      std::lock_guard<std::mutex> lock(queue.guard);
      seen = queue.arrivals;
    }
    if (RetrieveMessage(msg, window, filterMin, filterMax, PM_REMOVE)) return true;
    bool hasTimer = false;
    DWORD nextTimer = 0;
    for (const Timer &t : queue.timers) {
      if (!MatchesWindow(t.window, window)) continue;
      if (!hasTimer || static_cast<int32_t>(t.due - nextTimer) < 0) nextTimer = t.due;
      hasTimer = true;
    }
    ActiveBackend().WaitForMessages(QueueWait(queue, seen, hasTimer, nextTimer));
  }
}

UINT_PTR AddTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  ThreadQueue &queue = CurrentQueue();
  // Windows raises periods below 10 ms to 10 ms.
  elapse = std::max<UINT>(elapse, 10);
  elapse = std::min<UINT>(elapse, 0x7FFFFFFF);
  const DWORD due = GetTickCount() + elapse;
  if (window == nullptr) {
    // Thread timers get an id of their own, above any a window would use.
    static std::atomic<UINT_PTR> nextThreadTimer{0x7000};
    if (id == 0 || std::none_of(queue.timers.begin(), queue.timers.end(),
                                [&](const Timer &t) { return !t.window && t.id == id; }))
      id = nextThreadTimer.fetch_add(1);
  }
  for (Timer &t : queue.timers) {
    if (t.window == window && t.id == id) {
      t = Timer{window, id, elapse, proc, due};
      return id;
    }
  }
  queue.timers.push_back(Timer{window, id, elapse, proc, due});
  return id == 0 ? 1 : id;
}

bool RemoveTimer(HWND window, UINT_PTR id) {
  ThreadQueue &queue = CurrentQueue();
  auto it = std::find_if(queue.timers.begin(), queue.timers.end(),
                         [&](const Timer &t) { return t.window == window && t.id == id; });
  if (it == queue.timers.end()) return false;
  queue.timers.erase(it);
  return true;
}

void ForgetWindowMessages(HWND window) {
  ThreadQueue &queue = CurrentQueue();
  queue.timers.erase(std::remove_if(queue.timers.begin(), queue.timers.end(),
                                    [&](const Timer &t) { return t.window == window; }),
                     queue.timers.end());
  std::lock_guard<std::mutex> lock(queue.guard);
  for (std::deque<MSG> *from : {&queue.posted, &queue.input}) {
    const size_t before = from->size();
    from->erase(std::remove_if(from->begin(), from->end(),
                               [&](const MSG &m) { return m.hwnd == window; }),
                from->end());
    queue.pending.fetch_sub(static_cast<int>(before - from->size()), std::memory_order_relaxed);
  }
}

void ClearAllQueues() {
  std::vector<std::shared_ptr<ThreadQueue>> all;
  {
    std::lock_guard<std::mutex> lock(registryGuard);
    for (auto &entry : queues) all.push_back(entry.second);
  }
  for (auto &queue : all) {
    std::lock_guard<std::mutex> lock(queue->guard);
    queue->posted.clear();
    queue->input.clear();
    queue->pending.store(static_cast<int>(queue->sent.size()));
    queue->quit = false;
    queue->timers.clear();
    queue->paintRequests = 0;
  }
}

}  // namespace compat
