// The Win32 message functions over the thread queues.
#include <windows.h>

#include "backend/backend.h"
#include "window/keyboard.h"
#include "window/message_queue.h"
#include "window/window_table.h"

using namespace compat;

namespace {

bool ValidFilter(HWND window) {
  return window == nullptr || window == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) ||
         FindLocalWindow(window) != nullptr;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  return msg;
}

}  // namespace

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr || !ValidFilter(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  WaitAndRetrieve(msg, window, filterMin, filterMax);
  return msg->message != WM_QUIT;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  return RetrieveMessage(msg, window, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) {
    // A thread message, for the calling thread.
    PostToQueue(CurrentQueue(), MakeMessage(nullptr, message, wParam, lParam));
    return TRUE;
  }
  if (!IsLocalHandle(window)) {
    // Of another process's windows only the close request can be delivered, as the window
    // manager's close.
    if (message == WM_CLOSE && ActiveBackend().CloseForeign(window)) return TRUE;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  std::shared_ptr<ThreadQueue> queue = QueueOfThread(WindowThread(window));
  if (!queue) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  PostToQueue(*queue, MakeMessage(window, message, wParam, lParam));
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsLocalHandle(window)) {
    if (message == WM_CLOSE && window != nullptr) ActiveBackend().CloseForeign(window);
    return 0;
  }
  const DWORD thread = WindowThread(window);
  if (thread == 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (thread == CurrentQueue().threadId) return CallWindowProcedure(window, message, wParam, lParam);
  // Another thread's window: its thread runs the procedure when it next looks at its queue;
  // this thread waits for the answer without holding that queue's lock.
  std::shared_ptr<ThreadQueue> queue = QueueOfThread(thread);
  if (!queue) return 0;
  auto send = std::make_shared<CrossThreadSend>();
  send->msg = MakeMessage(window, message, wParam, lParam);
  {
    std::lock_guard<std::mutex> lock(queue->guard);
    queue->sent.push_back(send);
    queue->pending.fetch_add(1, std::memory_order_relaxed);
    ++queue->arrivals;
    queue->arrived.notify_all();
  }
  std::unique_lock<std::mutex> lock(send->guard);
  send->finished.wait(lock, [&] { return send->done; });
  return send->result;
}

void PostQuitMessage(int exitCode) {
  ThreadQueue &queue = CurrentQueue();
  queue.quit = true;
  queue.quitCode = exitCode;
}

BOOL TranslateMessage(const MSG *msg) {
  if (msg == nullptr) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      MSG character;
      if (CharacterForKey(*msg, &character)) PostToQueue(CurrentQueue(), character);
      return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG *msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  if (WindowThread(msg->hwnd) != CurrentQueue().threadId) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

SHORT GetKeyState(int virtualKey) { return ThreadKeyState(virtualKey); }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (window != nullptr && WindowThread(window) != CurrentQueue().threadId) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return AddTimer(window, id, elapse, proc);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  if (!RemoveTimer(window, id)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A WM_TIMER already taken from the queue is not recalled; an unread one goes with the timer.
  return TRUE;
}
