#include "window/keyboard.h"

#include <atomic>
#include <cctype>

namespace compat {

namespace {

// Bit 0x80: down; bit 0x01: toggled (Caps Lock). Thread state follows retrieved messages,
// the asynchronous state follows the window system.
thread_local BYTE threadState[256];
std::atomic<BYTE> asyncState[256];

struct ScanCode {
  UINT key;
  UINT scan;
};
// Set-1 scan codes of the keys a layout-free saver may see.
constexpr ScanCode SCAN_CODES[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02},      {'2', 0x03},        {'3', 0x04},       {'4', 0x05},
    {'5', 0x06},       {'6', 0x07},      {'7', 0x08},        {'8', 0x09},       {'9', 0x0A},
    {'0', 0x0B},       {VK_BACK, 0x0E},  {VK_TAB, 0x0F},     {'Q', 0x10},       {'W', 0x11},
    {'E', 0x12},       {'R', 0x13},      {'T', 0x14},        {'Y', 0x15},       {'U', 0x16},
    {'I', 0x17},       {'O', 0x18},      {'P', 0x19},        {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D},
    {'A', 0x1E},       {'S', 0x1F},      {'D', 0x20},        {'F', 0x21},       {'G', 0x22},
    {'H', 0x23},       {'J', 0x24},      {'K', 0x25},        {'L', 0x26},       {VK_SHIFT, 0x2A},
    {'Z', 0x2C},       {'X', 0x2D},      {'C', 0x2E},        {'V', 0x2F},       {'B', 0x30},
    {'N', 0x31},       {'M', 0x32},      {VK_MENU, 0x38},    {VK_SPACE, 0x39},  {VK_F1, 0x3B},
    {VK_F2, 0x3C},     {VK_F3, 0x3D},    {VK_F4, 0x3E},      {VK_F5, 0x3F},     {VK_F6, 0x40},
    {VK_F7, 0x41},     {VK_F8, 0x42},    {VK_F9, 0x43},      {VK_F10, 0x44},    {VK_HOME, 0x47},
    {VK_UP, 0x48},     {VK_PRIOR, 0x49}, {VK_LEFT, 0x4B},    {VK_RIGHT, 0x4D},  {VK_END, 0x4F},
    {VK_DOWN, 0x50},   {VK_NEXT, 0x51},  {VK_INSERT, 0x52},  {VK_DELETE, 0x53}, {VK_F11, 0x57},
    {VK_F12, 0x58},
};

UINT ScanCodeOf(UINT key) {
  for (const ScanCode &entry : SCAN_CODES)
    if (entry.key == key) return entry.scan;
  return 0;
}

bool Down(BYTE state) { return (state & 0x80) != 0; }

// US layout: the unshifted and shifted character of each printing key.
char CharacterOf(UINT key, bool shift, bool caps) {
  if (key >= 'A' && key <= 'Z') {
    const bool upper = shift != caps;
    return static_cast<char>(upper ? key : std::tolower(static_cast<int>(key)));
  }
  if (key >= '0' && key <= '9') return shift ? ")!@#$%^&*("[key - '0'] : static_cast<char>(key);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<char>('0' + (key - VK_NUMPAD0));
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
  }
}

void SetDown(BYTE *state, UINT key, bool down) {
  state[key & 0xFF] = static_cast<BYTE>(down ? (state[key & 0xFF] | 0x80) : (state[key & 0xFF] & ~0x80));
}

}  // namespace

UINT KeyMessageForEvent(UINT virtualKey, bool down) {
  const bool altHeld = Down(asyncState[VK_MENU].load());
  BYTE state = asyncState[virtualKey & 0xFF].load();
  if (down && virtualKey == VK_CAPITAL && !Down(state)) state ^= 0x01;
  asyncState[virtualKey & 0xFF] = static_cast<BYTE>(down ? (state | 0x80) : (state & ~0x80));
  const bool system = virtualKey == VK_MENU || virtualKey == VK_F10 || (altHeld && virtualKey != VK_CONTROL);
  if (system) return down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
  return down ? WM_KEYDOWN : WM_KEYUP;
}

LPARAM KeyMessageLParam(UINT virtualKey, bool down, bool repeat) {
  DWORD bits = 1 | (ScanCodeOf(virtualKey) << 16);
  if (Down(asyncState[VK_MENU].load()) && virtualKey != VK_MENU) bits |= 1u << 29;
  if (!down || repeat) bits |= 1u << 30;  // previous state: down
  if (!down) bits |= 1u << 31;            // transition: being released
  return static_cast<LPARAM>(bits);
}

void NoteRetrievedKey(const MSG &msg) {
  const UINT key = static_cast<UINT>(msg.wParam) & 0xFF;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (key == VK_CAPITAL && !Down(threadState[key])) threadState[key] ^= 0x01;
      SetDown(threadState, key, true);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      SetDown(threadState, key, false);
      break;
    default:
      break;
  }
}

bool CharacterForKey(const MSG &keyMsg, MSG *charMsg) {
  const UINT key = static_cast<UINT>(keyMsg.wParam) & 0xFF;
  const bool shift = Down(threadState[VK_SHIFT]);
  const bool control = Down(threadState[VK_CONTROL]);
  const bool caps = (threadState[VK_CAPITAL] & 0x01) != 0;
  char c = CharacterOf(key, shift, caps);
  if (control && key >= 'A' && key <= 'Z') c = static_cast<char>(key - 'A' + 1);
  else if (control) c = 0;
  if (c == 0) return false;
  *charMsg = keyMsg;
  charMsg->message = keyMsg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  charMsg->wParam = static_cast<unsigned char>(c);
  return true;
}

SHORT ThreadKeyState(int virtualKey) {
  const BYTE state = threadState[virtualKey & 0xFF];
  return static_cast<SHORT>((Down(state) ? 0x8000 : 0) | (state & 0x01));
}

SHORT AsyncKeyState(int virtualKey) {
  return static_cast<SHORT>(Down(asyncState[virtualKey & 0xFF].load()) ? 0x8000 : 0);
}

void ResetKeyState() {
  for (auto &state : asyncState) state = 0;
  for (BYTE &state : threadState) state = 0;
}

}  // namespace compat
