// The test API of the compat layer (Linux only): the headless backend with its virtual clock,
// scripted input and framebuffer read-back, loadable modules a test provides, the palette call log.
// Tests drive the real code through the real Win32 calls; these hooks only set the scene and
// read results back.
#pragma once

#include "compat/win32_types.h"
#include "compat/win32_window.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace compat {
namespace testing {

// ---- Backend ----
// Selects the headless backend for this process; call before the first window call.
// (Tools may set LUMIVANE_BACKEND=headless instead.) Without it the SDL2 backend is used.
void UseHeadless();
bool HeadlessActive();
// Destroys every window (without running their procedures), empties every queue, kills every
// timer, forgets the script, the foreground and focus, resets the clock to its start, the
// cursor to (0, 0) and visible, the screen-saver-running flag, and unregisters all modules.
void ResetHeadless();
// Screen size reported by GetSystemMetrics (default 640 x 480).
void SetScreenSize(int width, int height);

// ---- Virtual clock (GetTickCount, Sleep, message times) ----
// It moves only when asked: Sleep(n) on any thread advances it by n; a GetMessageA with
// nothing to return jumps it to the next timer or scripted event; AdvanceClock moves it by
// hand. Threads that must wait in real time wait on something else than Sleep.
DWORD Now();
void AdvanceClock(DWORD milliseconds);

// ---- Scripted input, delivered when the virtual clock reaches `at` ----
// It becomes messages by the same rules as a display's input. Keys go to the focus window, or
// the active one without a focus (SetForegroundWindow focuses its window); with Alt held, and
// for Alt and F10 themselves, they arrive as WM_SYSKEYDOWN / WM_SYSKEYUP.
void ScheduleKeyDown(DWORD at, UINT virtualKey);
void ScheduleKeyUp(DWORD at, UINT virtualKey);
// Screen coordinates; moves the cursor (GetCursorPos) and sends mouse messages to the capture
// window or the deepest visible enabled window under the cursor. A second press soon and near
// enough is a double click for a class with CS_DBLCLKS; the wheel turns the focus window.
void ScheduleMouseMove(DWORD at, int x, int y);
enum class Button { Left, Right, Middle };
void ScheduleButton(DWORD at, Button button, bool down);
void ScheduleWheel(DWORD at, int delta);
// Runs `action` on the thread that pumps its queue when the clock reaches `at`, e.g. to send
// a message a platform component would send.
void ScheduleCall(DWORD at, std::function<void()> action);
// At `at` the pumping thread's GetMessageA returns 0, as after PostQuitMessage(0): a safety
// net so a test never waits forever. DeadlineReached tells whether it fired.
void SetDeadline(DWORD at);
bool DeadlineReached();

// ---- Framebuffer read-back ----
// The window's client pixels as 0x00RRGGBB (indexed pixels looked up in the hardware palette).
std::vector<uint32_t> ReadWindowPixels(HWND window, int *width, int *height);
// The raw palette indices of a window on the palette display (empty on true colour).
std::vector<uint8_t> ReadWindowIndices(HWND window, int *width, int *height);

// ---- Presentation ----
// Frames the active backend has shown in window-system windows so far (0 when headless), for
// measuring the frame rate of a real run.
uint64_t PresentedFrames();

// ---- Registry ----
// Values are set with RegCreateKeyA / RegSetValueExA, which write the per-user store under
// LUMIVANE_HOME (point it at a temporary folder) and work the same under Windows.

// ---- Modules for LoadLibraryA / GetProcAddress ----
// A library name (matched without regard to case, with or without directory) and its entries.
// A test registers e.g. "PASSWORD.CPL" with a VerifyScreenSavePwd whose answer it chooses.
void RegisterModule(const std::string &name,
                    const std::vector<std::pair<std::string, FARPROC>> &entries);
// How many LoadLibraryA references to the module are open now.
int ModuleLoadCount(const std::string &name);

}  // namespace testing

// The palette call log: names of the palette calls (CreatePalette, SetPaletteEntries,
// SelectPalette, RealizePalette, AnimatePalette) and of GetDeviceCaps, in order. Nothing else is
// recorded, so it can tell only whether one of these happened.
void EnablePaletteCallLog(bool on);
std::vector<std::string> TakePaletteCallLog();

}  // namespace compat
