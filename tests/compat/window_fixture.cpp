#include "window_fixture.h"

std::vector<Received> HeadlessWindows::received;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)> HeadlessWindows::handler;

void HeadlessWindows::SetUp() {
  compat::testing::UseHeadless();
  compat::testing::ResetHeadless();
  received.clear();
  handler = nullptr;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = Record;
  windowClass.lpszClassName = "Recorder";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
}

void HeadlessWindows::TearDown() {
  handler = nullptr;
  compat::testing::ResetHeadless();
}

HWND HeadlessWindows::MakeWindow(DWORD style, HWND parent, int width, int height,
                                 const char *title) {
  return CreateWindowExA(0, "Recorder", title, style, 0, 0, width, height, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

std::vector<Received> HeadlessWindows::Of(UINT message) const {
  std::vector<Received> found;
  for (const Received &r : received)
    if (r.message == message) found.push_back(r);
  return found;
}

int HeadlessWindows::RunLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK HeadlessWindows::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received.push_back(Received{window, message, wParam, lParam});
  LRESULT result = 0;
  if (handler && handler(window, message, wParam, lParam, &result)) return result;
  return DefWindowProcA(window, message, wParam, lParam);
}
