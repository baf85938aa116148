#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <sstream>
#include <utility>

#include "resources/resource_ids.h"
#include "ui/configure_dialog.h"

namespace {

const char SECTION[] = "Lumivane 95";
const char FILE_NAME[] = "control.ini";

struct Pending {
  std::string caption;
  std::vector<DialogStep> steps;
  size_t next = 0;
  HWND dialog = nullptr;
  bool shown = false;
};
std::deque<std::shared_ptr<Pending>> pending;

constexpr UINT STEP_PERIOD_MS = 10;
constexpr INT_PTR DIALOG_LEFT_OPEN = -77;
// How many ticks a script may wait for its dialog to appear.
constexpr int OPEN_TICKS = 500;

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);

bool armed = false;  // one step timer at a time
void Arm() {
  if (armed) return;
  armed = SetTimer(nullptr, 0, STEP_PERIOD_MS, Tick) != 0;
}

int waited = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  armed = false;
  if (pending.empty()) return;
  std::shared_ptr<Pending> p = pending.front();
  if (!p->dialog) {
    p->dialog = FindWindowA("#32770", p->caption.c_str());
    if (!p->dialog) {
      if (++waited > OPEN_TICKS) {
        ADD_FAILURE() << "dialog \"" << p->caption << "\" did not open";
        pending.pop_front();
        return;
      }
      Arm();
      return;
    }
    waited = 0;
  }
  // Windows shows a modal dialog only once its loop first finds the queue empty.
  if (IsWindowVisible(p->dialog)) p->shown = true;
  if (!p->shown) {
    Arm();
    return;
  }
  if (p->next < p->steps.size() && IsWindow(p->dialog) && IsWindowVisible(p->dialog)) {
    DialogStep step = p->steps[p->next++];
    // A step may open a sub-dialog whose own steps run first (they were armed in front).
    step(p->dialog);
  }
  if (!IsWindow(p->dialog) || !IsWindowVisible(p->dialog)) {
    pending.erase(std::find(pending.begin(), pending.end(), p));
  } else if (p->next >= p->steps.size()) {
    pending.erase(std::find(pending.begin(), pending.end(), p));
    EndDialog(p->dialog, DIALOG_LEFT_OPEN);
  }
  if (!pending.empty()) Arm();
}

// Arms the steps for the next dialog with this caption that opens; a sub-dialog's go in front.
void ExpectDialog(const char *caption, std::vector<DialogStep> steps) {
  auto p = std::make_shared<Pending>();
  p->caption = caption;
  p->steps = std::move(steps);
  pending.push_front(p);
  Arm();
}

std::vector<std::pair<std::string, std::string>> Assignments(const std::string &text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const size_t equals = word.find('=');
    keys.emplace_back(word.substr(0, equals), word.substr(equals + 1));
  }
  return keys;
}

const char *SubDialogCaption(int button) {
  return button == IDC_SPEED_LIMIT      ? "System Speed Adjustments"
         : button == IDC_PALETTE_BUTTON ? "Custom Color Palette"
                                        : "Audio Configuration";
}

}  // namespace

INT_PTR RunMain(std::vector<DialogStep> steps) {
  pending.clear();
  // A test's scene may have dropped the thread's timers with the last dialog.
  armed = false;
  ExpectDialog("Lumivane 95", std::move(steps));
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIGURE), nullptr,
                         ScreenSaverConfigureDialog, 0);
}

void OpenSubDialog(HWND dialog, int button, std::vector<DialogStep> steps) {
  ExpectDialog(SubDialogCaption(button), std::move(steps));
  Click(dialog, button);
}

void InSubDialog(int button, std::vector<DialogStep> steps) {
  RunMain({[&](HWND d) { OpenSubDialog(d, button, std::move(steps)); },
           [](HWND d) { Click(d, IDCANCEL); }});
}

void DialogTest::SetUp() { WritePrivateProfileStringA(SECTION, nullptr, nullptr, FILE_NAME); }

void DialogTest::Put(const char *key, const std::string &value) {
  WritePrivateProfileStringA(SECTION, key, value.c_str(), FILE_NAME);
}

void DialogTest::PutAll(const std::string &assignments) {
  for (const auto &[key, value] : Assignments(assignments)) Put(key.c_str(), value);
}

void DialogTest::ExpectStored(const std::string &assignments) {
  for (const auto &[key, value] : Assignments(assignments))
    EXPECT_EQ(Get(key.c_str()), value) << key;
}

std::string DialogTest::Get(const char *key) {
  char text[1024] = "";
  GetPrivateProfileStringA(SECTION, key, "(absent)", text, sizeof text, FILE_NAME);
  return text;
}

void Click(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  ASSERT_NE(control, nullptr) << "no control " << id;
  SendMessageA(control, BM_CLICK, 0, 0);
}

void Type(HWND dialog, int id, const char *text) { SetDlgItemTextA(dialog, id, text); }

void ScrollBy(HWND dialog, int id, int code, int thumb) {
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectLines(HWND dialog, int id, const std::vector<int> &lines) {
  SendDlgItemMessageA(dialog, id, LB_SETSEL, FALSE, -1);
  for (int line : lines) SendDlgItemMessageA(dialog, id, LB_SETSEL, TRUE, line);
}

namespace {
LPARAM LinePoint(HWND list, int line) {
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  return MAKELPARAM(4, (line - top) * height + height / 2);
}
}  // namespace

void ClickLine(HWND dialog, int id, int line, bool shift, bool control) {
  HWND list = GetDlgItem(dialog, id);
  // A user clicks only a line he sees.
  if (line < SendMessageA(list, LB_GETTOPINDEX, 0, 0))
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
  const WPARAM keys = MK_LBUTTON | (shift ? MK_SHIFT : 0) | (control ? MK_CONTROL : 0);
  SendMessageA(list, WM_LBUTTONDOWN, keys, LinePoint(list, line));
  SendMessageA(list, WM_LBUTTONUP, keys & ~static_cast<WPARAM>(MK_LBUTTON), LinePoint(list, line));
}

void DoubleClickLine(HWND dialog, int id, int line) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(list, line));
  SendMessageA(list, WM_LBUTTONUP, 0, LinePoint(list, line));
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, LinePoint(list, line));
  SendMessageA(list, WM_LBUTTONUP, 0, LinePoint(list, line));
}

void SelectCombo(HWND dialog, int id, int line) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(line), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressKey(HWND dialog, UINT virtualKey) {
  HWND target = GetFocus() ? GetFocus() : dialog;
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void PressAltLetter(HWND dialog, char letter) {
  HWND target = GetFocus() ? GetFocus() : dialog;
  PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(0x20000001));
}

std::string Text(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string Texts(HWND dialog, std::initializer_list<int> ids) {
  std::string texts;
  for (int id : ids) texts += (texts.empty() ? "" : " ") + Text(dialog, id);
  return texts;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
int ScrollPosition(HWND dialog, int id) { return GetScrollPos(GetDlgItem(dialog, id), SB_CTL); }

std::vector<std::string> ListLines(HWND dialog, int id) {
  std::vector<std::string> lines;
  const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(text));
    lines.push_back(text);
  }
  return lines;
}

std::vector<int> SelectedLines(HWND dialog, int id) {
  std::vector<int> lines;
  const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (SendDlgItemMessageA(dialog, id, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
      lines.push_back(i);
  return lines;
}

int ComboSelection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

std::string ComboText(HWND dialog, int id, int line) {
  char text[256] = "";
  SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(line),
                      reinterpret_cast<LPARAM>(text));
  return text;
}

int FocusId() { return GetDlgCtrlID(GetFocus()); }
