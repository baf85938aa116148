// Each thread's message queue: sent messages from other threads, posted messages, input,
// the quit flag, paint requests and timers, retrieved in the order Windows uses.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace compat {

struct CrossThreadSend {
  MSG msg{};
  LRESULT result = 0;
  bool done = false;
  std::mutex guard;
  std::condition_variable finished;
};

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  DWORD due;
};

struct ThreadQueue {
  DWORD threadId = 0;

  // Filled by any thread under `guard`; `pending` mirrors their total size so that an empty
  // queue can be seen without taking the lock.
  std::mutex guard;
  std::condition_variable arrived;
  std::deque<std::shared_ptr<CrossThreadSend>> sent;
  std::deque<MSG> posted;
  std::deque<MSG> input;
  std::atomic<int> pending{0};
  uint64_t arrivals = 0;  // counts every post, so a waiter sees that something came

  // Owned by the queue's thread alone.
  bool quit = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  int paintRequests = 0;  // windows of this thread that need WM_PAINT
};

// The calling thread's queue, created on first use.
ThreadQueue &CurrentQueue();
// Another thread's queue, or null; the shared pointer keeps it alive while a poster uses it.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);

void PostToQueue(ThreadQueue &queue, const MSG &msg);
// Input: mouse moves replace an unread move for the same window, as Windows coalesces them.
void PostInput(ThreadQueue &queue, const MSG &msg);

// The retrieval step shared by GetMessageA and PeekMessageA.
bool RetrieveMessage(MSG *msg, HWND window, UINT filterMin, UINT filterMax, UINT flags);
bool WaitAndRetrieve(MSG *msg, HWND window, UINT filterMin, UINT filterMax);
// Calls the window's procedure on the calling thread (the window's own thread).
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Timers of the calling thread.
UINT_PTR AddTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
bool RemoveTimer(HWND window, UINT_PTR id);

// Forgets what is queued for a window that is being destroyed.
void ForgetWindowMessages(HWND window);
// Drops every queue's contents and timers (the headless reset).
void ClearAllQueues();

}  // namespace compat
