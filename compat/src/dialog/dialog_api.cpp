// The dialog manager: templates to windows, the modal loop, the dialog keyboard (Tab, arrows
// in groups, Enter, Escape, mnemonics) and the item calls. A toolkit view shows the dialog
// where there is a display; the rules live here, so the headless backend follows them too.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "compat/testing.h"
#include "dialog/controls.h"
#include "dialog/dialog_view.h"
#include "window/window_table.h"

namespace compat {
namespace {

std::map<int, DialogTemplate> &Templates() {
  static std::map<int, DialogTemplate> templates;
  return templates;
}

struct DialogRecord {
  DLGPROC proc = nullptr;
  bool ended = false;
  INT_PTR result = 0;
  BaseUnits units;
};
std::map<HWND, DialogRecord> dialogs;

DialogRecord *FindDialog(HWND dialog) {
  auto it = dialogs.find(dialog);
  return it == dialogs.end() ? nullptr : &it->second;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

LRESULT CALLBACK DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogRecord *record = FindDialog(dialog);
  if (record && record->proc && record->proc(dialog, message, wParam, lParam)) return TRUE;
  return DefDlgProcA(dialog, message, wParam, lParam);
}

// The classes are registered when first needed (and again after a test dropped every class).
void RegisterDialogClass() {
  RegisterControlClasses();
  WNDCLASSA existing;
  if (GetClassInfoA(nullptr, DIALOG_CLASS_NAME, &existing)) return;
  WNDCLASSA c{};
  c.lpfnWndProc = DialogWindowProc;
  c.lpszClassName = DIALOG_CLASS_NAME;
  RegisterClassA(&c);
}

const DialogTemplate *FindTemplate(LPCSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto it = Templates().find(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
  return it == Templates().end() ? nullptr : &it->second;
}

int MulDivPixels(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

// The text's mnemonic letter, upper case, or 0.
int Mnemonic(HWND control) {
  char text[256] = "";
  GetWindowTextA(control, text, sizeof text);
  for (const char *p = text; *p; ++p) {
    if (*p != '&') continue;
    if (p[1] == '&') {
      ++p;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(p[1]));
  }
  return 0;
}

bool Usable(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

UINT DialogCode(HWND control) { return static_cast<UINT>(SendMessageA(control, WM_GETDLGCODE, 0, 0)); }

// The child of the dialog that holds or contains the window.
HWND DialogChild(HWND dialog, HWND window) {
  while (window && GetParent(window) != dialog) window = GetParent(window);
  return window;
}

void FocusControl(HWND control) {
  if (!control) return;
  SetFocus(control);
  // Focus that arrives at an auto radio button by the keyboard checks it, as on Windows.
  if ((DialogCode(control) & DLGC_RADIOBUTTON) && (Style(control) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
      SendMessageA(control, BM_GETCHECK, 0, 0) != BST_CHECKED)
    ClickButton(control);
}

void PressButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) return;
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultButtonId(HWND dialog) {
  LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK;
}

// A mnemonic: a button is pressed, a text gives the focus to the next control that takes it.
bool HandleMnemonic(HWND dialog, int letter) {
  HWND from = DialogChild(dialog, GetFocus());
  std::vector<HWND> children;
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
  size_t start = 0;
  for (size_t i = 0; i < children.size(); ++i)
    if (children[i] == from) start = i + 1;
  for (size_t k = 0; k < children.size(); ++k) {
    HWND h = children[(start + k) % children.size()];
    if (!IsWindowVisible(h) || Mnemonic(h) != letter) continue;
    const UINT code = DialogCode(h);
    if (code & DLGC_STATIC) {
      for (HWND next = GetWindow(h, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
        if (!Usable(next) || (DialogCode(next) & DLGC_STATIC)) continue;
        FocusControl(next);
        return true;
      }
      return true;
    }
    if (!IsWindowEnabled(h)) continue;
    SetFocus(h);
    if (code & DLGC_BUTTON) ClickButton(h);
    return true;
  }
  return false;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate &dialogTemplate) {
  Templates()[dialogTemplate.id] = dialogTemplate;
}

}  // namespace compat

using namespace compat;

namespace {

std::unique_ptr<DialogView> &ViewOf(HWND dialog) {
  static std::map<HWND, std::unique_ptr<DialogView>> views;
  return views[dialog];
}

HWND CreateFromTemplate(HINSTANCE instance, const DialogTemplate &t, HWND owner, DLGPROC proc,
                        LPARAM initParam, bool withView) {
  RegisterDialogClass();
  BaseUnits units = withView ? ToolkitBaseUnits(t.fontName, t.pointSize) : BaseUnits{};
  POINT origin{0, 0};
  if (owner && IsWindow(owner)) ClientToScreen(owner, &origin);
  const DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD);
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, DIALOG_CLASS_NAME, t.caption, style | WS_POPUP,
                                origin.x + MulDivPixels(t.x, units.x, 4), origin.y + MulDivPixels(t.y, units.y, 8),
                                MulDivPixels(t.width, units.x, 4), MulDivPixels(t.height, units.y, 8), owner,
                                nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  dialogs[dialog].units = units;
  for (size_t i = 0; i < t.itemCount; ++i) {
    const DialogItemTemplate &item = t.items[i];
    int height = MulDivPixels(item.height, units.y, 8);
    // A drop-down list's template height is that of its open list; closed it is one line high.
    if (std::string(item.className) == "COMBOBOX" && (item.style & CBS_DROPDOWNLIST) != CBS_SIMPLE)
      height = units.y + 8;
    HWND control = CreateWindowExA(0, item.className, item.text, item.style, MulDivPixels(item.x, units.x, 4),
                                   MulDivPixels(item.y, units.y, 8), MulDivPixels(item.width, units.x, 4),
                                   height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
                                   instance, nullptr);
    if (control && std::string(item.className) == "LISTBOX") SetListLineHeight(control, units.y);
  }
  if (withView) ViewOf(dialog) = OpenToolkitView(dialog, t.fontName, t.pointSize);
  dialogs[dialog].proc = proc;
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) && IsWindow(dialog))
    FocusControl(GetNextDlgTabItem(dialog, nullptr, FALSE));
  return IsWindow(dialog) ? dialog : nullptr;
}

bool WithView() { return !testing::HeadlessActive(); }

void Forget(HWND dialog) {
  ViewOf(dialog).reset();
  dialogs.erase(dialog);
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
  const DialogTemplate *t = FindTemplate(templateName);
  if (!t) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
  }
  const bool withView = WithView();
  std::string why;
  if (withView && !ToolkitAvailable(&why)) {
    std::fprintf(stderr, "lumivane: cannot show the dialog \"%s\": %s\n", t->caption, why.c_str());
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  HWND dialog = CreateFromTemplate(instance, *t, owner, dialogProc, initParam, withView);
  if (!dialog) return -1;
  // The owner is disabled while its modal dialog runs.
  const bool disableOwner = owner && IsWindow(owner) && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  DialogRecord *record = FindDialog(dialog);
  if (!record->ended) ShowWindow(dialog, SW_SHOW);
  INT_PTR result = -1;
  for (;;) {
    record = FindDialog(dialog);
    if (!record || record->ended) {
      if (record) result = record->result;
      break;
    }
    MSG msg;
    DialogView *view = ViewOf(dialog).get();
    BOOL got;
    if (view) {
      view->Refresh();
      got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) ? (msg.message == WM_QUIT ? 0 : 1) : -2;
      if (got == -2) {
        view->WaitForInput(0.05);
        continue;
      }
    } else {
      got = GetMessageA(&msg, nullptr, 0, 0);
    }
    if (got <= 0) {
      // A quit request ends the dialog and stays for the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (disableOwner) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  Forget(dialog);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogRecord *record = FindDialog(dialog);
  if (!record) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  record->ended = true;
  record->result = result;
  // Windows hides the dialog at once; the modal loop destroys it when it regains control.
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // Windows posts the Cancel command, so it arrives after what the closing caller does next.
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case DM_GETDEFID:
      for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (DialogCode(h) & DLGC_DEFPUSHBUTTON) return MAKELONG(GetDlgCtrlID(h), DC_HASDEFID);
      return 0;
    case WM_NCDESTROY:
      Forget(dialog);
      return DefWindowProcA(dialog, message, wParam, lParam);
    default:
      return DefWindowProcA(dialog, message, wParam, lParam);
  }
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) {
  if (!msg || !IsWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && DialogChild(dialog, msg->hwnd) == nullptr) return FALSE;
  HWND focus = DialogChild(dialog, GetFocus());
  const UINT code = focus ? DialogCode(focus) : 0;
  switch (msg->message) {
    case WM_KEYDOWN:
      switch (msg->wParam) {
        case VK_TAB:
          if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) break;
          FocusControl(GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0));
          return TRUE;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
          if (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) break;
          FocusControl(GetNextDlgGroupItem(dialog, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP));
          return TRUE;
        case VK_RETURN:
          if (code & DLGC_WANTALLKEYS) break;
          // A focused push button is the one Enter presses; otherwise the default button.
          PressButton(dialog, (code & DLGC_UNDEFPUSHBUTTON) ? GetDlgCtrlID(focus) : DefaultButtonId(dialog));
          return TRUE;
        case VK_ESCAPE:
          PressButton(dialog, IDCANCEL);
          return TRUE;
        default:
          break;
      }
      break;
    case WM_SYSCHAR:
      if (HandleMnemonic(dialog, std::toupper(static_cast<int>(msg->wParam)))) return TRUE;
      break;
    case WM_CHAR:
      // Controls that take no characters let a plain letter act as a mnemonic.
      if (!(code & DLGC_WANTCHARS) && std::isalnum(static_cast<int>(msg->wParam)) &&
          HandleMnemonic(dialog, std::toupper(static_cast<int>(msg->wParam))))
        return TRUE;
      break;
    default:
      break;
  }
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (GetDlgCtrlID(h) == id) return h;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int GetDlgCtrlID(HWND control) {
  Window *window = FindLocalWindow(control);
  if (!window || !(window->style & WS_CHILD)) return 0;
  return static_cast<int>(reinterpret_cast<INT_PTR>(window->id));
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
  if (size > 0) text[0] = '\0';
  HWND control = GetDlgItem(dialog, id);
  return control ? static_cast<UINT>(GetWindowTextA(control, text, size)) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND control = GetDlgItem(dialog, id);
  return control ? SetWindowTextA(control, text) : FALSE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND button = GetDlgItem(dialog, id);
  if (!button) return FALSE;
  SendMessageA(button, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button ? static_cast<UINT>(SendMessageA(button, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(dialog, id);
  return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  // Tab stops in child order; a radio group's stop is its checked button where it has one.
  std::vector<HWND> children, stops;
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
  int position = -1;  // the last stop at or before the control
  for (size_t i = 0; i < children.size(); ++i) {
    HWND h = children[i];
    if (Usable(h) && (Style(h) & WS_TABSTOP)) {
      HWND stop = h;
      if (DialogCode(h) & DLGC_RADIOBUTTON)
        for (size_t k = i; k < children.size() && (k == i || !(Style(children[k]) & WS_GROUP)); ++k)
          if (Usable(children[k]) && SendMessageA(children[k], BM_GETCHECK, 0, 0) == BST_CHECKED)
            stop = children[k];
      stops.push_back(stop);
    }
    if (h == control) position = static_cast<int>(stops.size()) - 1;
  }
  if (stops.empty()) return nullptr;
  const int n = static_cast<int>(stops.size());
  if (!control) return previous ? stops.back() : stops.front();
  if (previous) {
    // From a control that is no stop itself, Shift+Tab goes to the stop before it.
    int at = position < 0 ? n - 1 : (stops[position] == control ? position - 1 : position);
    return stops[(at % n + n) % n];
  }
  return stops[(position + 1) % n];
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!control) return GetNextDlgTabItem(dialog, nullptr, previous);
  // The group: from the control that starts it (WS_GROUP) to the one before the next start.
  HWND first = control;
  while (!(Style(first) & WS_GROUP) && GetWindow(first, GW_HWNDPREV)) first = GetWindow(first, GW_HWNDPREV);
  std::vector<HWND> group;
  for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h != first && (Style(h) & WS_GROUP)) break;
    if (Usable(h) || h == control) group.push_back(h);
  }
  auto self = std::find(group.begin(), group.end(), control);
  if (self == group.end()) return control;
  if (previous) return self == group.begin() ? group.back() : *(self - 1);
  return self + 1 == group.end() ? group.front() : *(self + 1);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  DialogRecord *record = FindDialog(dialog);
  if (!record || !rect) return FALSE;
  rect->left = MulDivPixels(rect->left, record->units.x, 4);
  rect->right = MulDivPixels(rect->right, record->units.x, 4);
  rect->top = MulDivPixels(rect->top, record->units.y, 8);
  rect->bottom = MulDivPixels(rect->bottom, record->units.y, 8);
  return TRUE;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  std::string why;
  if (!WithView() || !ToolkitAvailable(&why)) {
    // Nobody to show it to: say it where a person running the program can read it.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    return IDOK;
  }
  return ToolkitMessageBox(text ? text : "", caption ? caption : "Error", type);
}
