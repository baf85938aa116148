#include "dialog/controls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <strings.h>

#include "window/window_table.h"

namespace compat {
namespace {

std::map<HWND, ControlState> controls;
std::map<HWND, int> lineHeights;
unsigned long generation = 1;

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

void Notify(HWND control, int code) {
  HWND parent = GetParent(control);
  if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                           reinterpret_cast<LPARAM>(control));
}

LRESULT CopyText(const std::string &text, LPARAM buffer) {
  if (!buffer) return LB_ERR;
  std::memcpy(reinterpret_cast<char *>(buffer), text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

// ---- Buttons ----

DWORD ButtonType(HWND button) { return Style(button) & BS_TYPEMASK; }

// The auto radio buttons of one group: from the group's first control to the next WS_GROUP.
std::vector<HWND> RadioGroup(HWND button) {
  HWND first = button;
  while (!(Style(first) & WS_GROUP)) {
    HWND previous = GetWindow(first, GW_HWNDPREV);
    if (!previous) break;
    first = previous;
  }
  std::vector<HWND> group;
  for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h != first && (Style(h) & WS_GROUP)) break;
    group.push_back(h);
  }
  return group;
}

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlState &state = controls[window];
  switch (message) {
    case BM_GETCHECK:
      return state.check;
    case BM_SETCHECK:
      state.check = static_cast<int>(wParam);
      NoteControlChanged();
      return 0;
    case BM_CLICK:
      ClickButton(window);
      return 0;
    case WM_GETDLGCODE:
      switch (ButtonType(window)) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
      }
    case WM_KEYUP:
      if (wParam == VK_SPACE) ClickButton(window);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() != window) return 0;
      ReleaseCapture();
      RECT client;
      GetClientRect(window, &client);
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (p.x >= 0 && p.y >= 0 && p.x < client.right && p.y < client.bottom) ClickButton(window);
      return 0;
    }
    case WM_NCHITTEST:
      return ButtonType(window) == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---- Static texts ----

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_SETTEXT:
      NoteControlChanged();
      return DefWindowProcA(window, message, wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---- Edits ----

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlState &state = controls[window];
  switch (message) {
    case WM_SETTEXT: {
      // Windows notifies a change of text however it came.
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      NoteControlChanged();
      Notify(window, EN_CHANGE);
      return result;
    }
    case EM_LIMITTEXT:
      state.limit = wParam ? wParam : 30000;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR: {
      char text[1024] = "";
      GetWindowTextA(window, text, sizeof text);
      std::string value = text;
      if (wParam == VK_BACK) {
        if (value.empty()) return 0;
        value.pop_back();
      } else if (wParam >= 32 && wParam < 256) {
        if (value.size() >= state.limit) return 0;
        value += static_cast<char>(wParam);
      } else {
        return 0;
      }
      UserSetsEditText(window, value);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---- List boxes ----

bool MultiSelect(HWND list) { return Style(list) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL); }
bool Notifying(HWND list) { return Style(list) & LBS_NOTIFY; }
int Count(const ControlState &s) { return static_cast<int>(s.items.size()); }
bool ValidLine(const ControlState &s, int line) { return line >= 0 && line < Count(s); }

int InsertLine(ControlState &s, int at, const std::string &text) {
  if (at < 0 || at > Count(s)) at = Count(s);
  s.items.insert(s.items.begin() + at, text);
  s.selected.insert(s.selected.begin() + at, false);
  if (s.current >= at) ++s.current;
  NoteControlChanged();
  return at;
}

int SortedPosition(const ControlState &s, const char *text) {
  int at = 0;
  while (at < Count(s) && strcasecmp(s.items[at].c_str(), text) <= 0) ++at;
  return at;
}

void SelectOnly(ControlState &s, int line) {
  std::fill(s.selected.begin(), s.selected.end(), false);
  if (ValidLine(s, line)) s.selected[line] = true;
}

void SelectRange(ControlState &s, int from, int to, bool on) {
  if (from > to) std::swap(from, to);
  for (int i = std::max(from, 0); i <= to && i < Count(s); ++i) s.selected[i] = on;
}

void ListKey(HWND list, ControlState &s, UINT key) {
  if (s.items.empty()) return;
  const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
  int line = s.caret;
  switch (key) {
    case VK_UP: line = s.caret - 1; break;
    case VK_DOWN: line = s.caret + 1; break;
    case VK_HOME: line = 0; break;
    case VK_END: line = Count(s) - 1; break;
    case VK_PRIOR: line = s.caret - 4; break;
    case VK_NEXT: line = s.caret + 4; break;
    case VK_SPACE:
      if (MultiSelect(list)) ListClick(list, s.caret, shift, control);
      return;
    default: return;
  }
  line = std::clamp(line, 0, Count(s) - 1);
  if (!MultiSelect(list)) {
    s.current = s.caret = line;
  } else if (shift) {
    SelectOnly(s, -1);
    SelectRange(s, s.anchor, line, true);
    s.caret = line;
  } else if (control) {
    s.caret = line;  // Ctrl moves only the focus rectangle
  } else {
    SelectOnly(s, line);
    s.caret = s.anchor = line;
  }
  NoteControlChanged();
  if (Notifying(list)) Notify(list, LBN_SELCHANGE);
}

int LineHeight(HWND list) {
  auto height = lineHeights.find(list);
  return std::max(height != lineHeights.end() ? height->second : 13, 1);
}

int ListLineAt(HWND list, const ControlState &s, LPARAM lParam) {
  int line = s.top + GET_Y_LPARAM(lParam) / LineHeight(list);
  return ValidLine(s, line) ? line : -1;
}

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlState &s = controls[window];
  const int line = static_cast<int>(static_cast<INT_PTR>(wParam));
  const char *text = reinterpret_cast<const char *>(lParam);
  switch (message) {
    case LB_ADDSTRING:
      return InsertLine(s, (Style(window) & LBS_SORT) ? SortedPosition(s, text) : Count(s), text);
    case LB_INSERTSTRING:
      return InsertLine(s, line, text);
    case LB_DELETESTRING:
      if (!ValidLine(s, line)) return LB_ERR;
      s.items.erase(s.items.begin() + line);
      s.selected.erase(s.selected.begin() + line);
      if (s.current == line) s.current = -1;
      else if (s.current > line) --s.current;
      if (s.caret >= Count(s)) s.caret = std::max(Count(s) - 1, 0);
      NoteControlChanged();
      return Count(s);
    case LB_RESETCONTENT:
      s.items.clear();
      s.selected.clear();
      s.current = -1;
      s.caret = s.anchor = s.top = 0;
      NoteControlChanged();
      return 0;
    case LB_GETCOUNT:
      return Count(s);
    case LB_GETTEXT:
      return ValidLine(s, line) ? CopyText(s.items[line], lParam) : LB_ERR;
    case LB_GETTEXTLEN:
      return ValidLine(s, line) ? static_cast<LRESULT>(s.items[line].size()) : LB_ERR;
    case LB_SETSEL: {
      if (!MultiSelect(window)) return LB_ERR;
      const int target = static_cast<int>(lParam);
      if (target == -1) {
        std::fill(s.selected.begin(), s.selected.end(), wParam != 0);
      } else {
        if (!ValidLine(s, target)) return LB_ERR;
        s.selected[target] = wParam != 0;
        s.caret = s.anchor = target;
      }
      NoteControlChanged();
      return 0;
    }
    case LB_GETSEL:
      if (!ValidLine(s, line)) return LB_ERR;
      return MultiSelect(window) ? (s.selected[line] ? 1 : 0) : (s.current == line ? 1 : 0);
    case LB_SETCURSEL:
      if (MultiSelect(window)) return LB_ERR;
      s.current = ValidLine(s, line) ? line : -1;
      if (s.current >= 0) s.caret = s.current;
      NoteControlChanged();
      return line == -1 || s.current >= 0 ? s.current : LB_ERR;
    case LB_GETCURSEL:
      // A multiple-selection list answers with its focus line.
      if (MultiSelect(window)) return s.items.empty() ? LB_ERR : s.caret;
      return s.current;
    case LB_GETSELCOUNT:
      if (!MultiSelect(window)) return LB_ERR;
      return std::count(s.selected.begin(), s.selected.end(), true);
    case LB_GETSELITEMS: {
      if (!MultiSelect(window)) return LB_ERR;
      int *out = reinterpret_cast<int *>(lParam);
      int n = 0;
      for (int i = 0; i < Count(s) && n < line; ++i)
        if (s.selected[i]) out[n++] = i;
      return n;
    }
    case LB_SETTOPINDEX:
      if (!ValidLine(s, line) && line != 0) return LB_ERR;
      s.top = line;
      NoteControlChanged();
      return 0;
    case LB_GETTOPINDEX:
      return s.top;
    case LB_SETCARETINDEX:
      if (!ValidLine(s, line)) return LB_ERR;
      s.caret = line;
      NoteControlChanged();
      return 0;
    case LB_GETCARETINDEX:
      return s.caret;
    case LB_GETITEMHEIGHT:
      return LineHeight(window);
    case LB_FINDSTRINGEXACT: {
      const int start = line < -1 ? -1 : line;
      for (int k = 1; k <= Count(s); ++k) {
        int i = (start + k) % Count(s);
        if (strcasecmp(s.items[i].c_str(), text) == 0) return i;
      }
      return LB_ERR;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      ListKey(window, s, static_cast<UINT>(wParam));
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window);
      int at = ListLineAt(window, s, lParam);
      if (at >= 0) ListClick(window, at, wParam & MK_SHIFT, wParam & MK_CONTROL);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      int at = ListLineAt(window, s, lParam);
      if (at >= 0) ListDoubleClick(window, at);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---- Combo boxes (drop-down lists) ----

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlState &s = controls[window];
  const int line = static_cast<int>(static_cast<INT_PTR>(wParam));
  switch (message) {
    case CB_ADDSTRING: {
      const char *text = reinterpret_cast<const char *>(lParam);
      return InsertLine(s, (Style(window) & CBS_SORT) ? SortedPosition(s, text) : Count(s), text);
    }
    case CB_INSERTSTRING:
      return InsertLine(s, line, reinterpret_cast<const char *>(lParam));
    case CB_RESETCONTENT:
      s.items.clear();
      s.selected.clear();
      s.current = -1;
      NoteControlChanged();
      return 0;
    case CB_GETCOUNT:
      return Count(s);
    case CB_SETCURSEL:
      s.current = ValidLine(s, line) ? line : -1;
      NoteControlChanged();
      return line == -1 || s.current >= 0 ? s.current : CB_ERR;
    case CB_GETCURSEL:
      return s.current;
    case CB_GETLBTEXT:
      return ValidLine(s, line) ? CopyText(s.items[line], lParam) : CB_ERR;
    case CB_GETLBTEXTLEN:
      return ValidLine(s, line) ? static_cast<LRESULT>(s.items[line].size()) : CB_ERR;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (wParam == VK_UP && s.current > 0) ComboUserSelects(window, s.current - 1);
      if (wParam == VK_DOWN && s.current + 1 < Count(s)) ComboUserSelects(window, s.current + 1);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---- Scroll bars: they only report; the owner moves the thumb ----

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ControlState &s = controls[window];
  switch (message) {
    case SBM_SETRANGE:
      s.minimum = static_cast<int>(wParam);
      s.maximum = static_cast<int>(lParam);
      s.position = std::clamp(s.position, s.minimum, std::max(s.minimum, s.maximum));
      NoteControlChanged();
      return 0;
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int *>(wParam) = s.minimum;
      if (lParam) *reinterpret_cast<int *>(lParam) = s.maximum;
      return 0;
    case SBM_SETPOS: {
      const int old = s.position;
      s.position = std::clamp(static_cast<int>(wParam), s.minimum, std::max(s.minimum, s.maximum));
      NoteControlChanged();
      return old;
    }
    case SBM_GETPOS:
      return s.position;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT: ScrollBarUserScrolls(window, SB_LINELEFT, 0); break;
        case VK_RIGHT: ScrollBarUserScrolls(window, SB_LINERIGHT, 0); break;
        case VK_PRIOR: ScrollBarUserScrolls(window, SB_PAGELEFT, 0); break;
        case VK_NEXT: ScrollBarUserScrolls(window, SB_PAGERIGHT, 0); break;
        case VK_HOME: ScrollBarUserScrolls(window, SB_LEFT, 0); break;
        case VK_END: ScrollBarUserScrolls(window, SB_RIGHT, 0); break;
        default: break;
      }
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

struct ClassEntry {
  const char *name;
  WNDPROC proc;
  ControlKind kind;
};
const ClassEntry CLASSES[] = {
    {"BUTTON", ButtonProc, ControlKind::Button},       {"STATIC", StaticProc, ControlKind::Static},
    {"EDIT", EditProc, ControlKind::Edit},             {"LISTBOX", ListBoxProc, ControlKind::ListBox},
    {"COMBOBOX", ComboBoxProc, ControlKind::ComboBox}, {"SCROLLBAR", ScrollBarProc, ControlKind::ScrollBar},
};

template <LRESULT (*Proc)(HWND, UINT, WPARAM, LPARAM), ControlKind Kind>
LRESULT CALLBACK Tracked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) controls[window].kind = Kind;
  if (message == WM_ENABLE) NoteControlChanged();
  if (message == WM_NCDESTROY) {
    controls.erase(window);
    lineHeights.erase(window);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return Proc(window, message, wParam, lParam);
}

}  // namespace

void RegisterControlClasses() {
  WNDCLASSA existing;
  if (GetClassInfoA(nullptr, CLASSES[0].name, &existing)) return;
  const WNDPROC procs[] = {
      Tracked<ButtonProc, ControlKind::Button>,       Tracked<StaticProc, ControlKind::Static>,
      Tracked<EditProc, ControlKind::Edit>,           Tracked<ListBoxProc, ControlKind::ListBox>,
      Tracked<ComboBoxProc, ControlKind::ComboBox>, Tracked<ScrollBarProc, ControlKind::ScrollBar>,
  };
  for (size_t i = 0; i < sizeof CLASSES / sizeof CLASSES[0]; ++i) {
    WNDCLASSA c{};
    c.lpfnWndProc = procs[i];
    c.lpszClassName = CLASSES[i].name;
    c.style = CLASSES[i].kind == ControlKind::ListBox ? CS_DBLCLKS : 0;
    RegisterClassA(&c);
  }
}

ControlState *FindControl(HWND control) {
  auto it = controls.find(control);
  return it == controls.end() ? nullptr : &it->second;
}

unsigned long ControlGeneration() { return generation; }
void NoteControlChanged() { ++generation; }

void ClickButton(HWND button) {
  ControlState *s = FindControl(button);
  if (!s || !IsWindowEnabled(button)) return;
  switch (ButtonType(button)) {
    case BS_AUTOCHECKBOX:
      s->check = s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTORADIOBUTTON:
      for (HWND h : RadioGroup(button))
        if (ControlState *other = FindControl(h); other && other->kind == ControlKind::Button &&
                                                  ButtonType(h) == BS_AUTORADIOBUTTON)
          other->check = h == button ? BST_CHECKED : BST_UNCHECKED;
      break;
    case BS_GROUPBOX:
      return;
    default:
      break;
  }
  NoteControlChanged();
  Notify(button, BN_CLICKED);
}

void UserSetsEditText(HWND edit, const std::string &text) {
  if (!IsWindowEnabled(edit)) return;
  // The window's own text, without going through WM_SETTEXT's notification twice.
  DefWindowProcA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  NoteControlChanged();
  Notify(edit, EN_UPDATE);
  Notify(edit, EN_CHANGE);
}

void ListClick(HWND list, int line, bool shift, bool control) {
  ControlState *s = FindControl(list);
  if (!s || !IsWindowEnabled(list) || !ValidLine(*s, line)) return;
  if (!MultiSelect(list)) {
    s->current = s->caret = line;
  } else if (Style(list) & LBS_MULTIPLESEL) {
    s->selected[line] = !s->selected[line];
    s->caret = s->anchor = line;
  } else if (shift) {
    // Shift extends from the anchor; with Ctrl the other lines keep their state.
    if (!control) SelectOnly(*s, -1);
    SelectRange(*s, s->anchor, line, true);
    s->caret = line;
  } else if (control) {
    s->selected[line] = !s->selected[line];
    s->caret = s->anchor = line;
  } else {
    SelectOnly(*s, line);
    s->caret = s->anchor = line;
  }
  NoteControlChanged();
  if (Notifying(list)) Notify(list, LBN_SELCHANGE);
}

void ListDoubleClick(HWND list, int line) {
  ControlState *s = FindControl(list);
  if (!s || !IsWindowEnabled(list) || !ValidLine(*s, line)) return;
  // The first click of the pair selected the line; the second reports the double click.
  if (Notifying(list)) Notify(list, LBN_DBLCLK);
}

void ComboUserSelects(HWND combo, int line) {
  ControlState *s = FindControl(combo);
  if (!s || !IsWindowEnabled(combo) || !ValidLine(*s, line)) return;
  s->current = line;
  NoteControlChanged();
  Notify(combo, CBN_SELCHANGE);
}

void ScrollBarUserScrolls(HWND bar, int code, int thumb) {
  if (!IsWindowEnabled(bar)) return;
  HWND parent = GetParent(bar);
  const UINT message = (Style(bar) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  SendMessageA(parent, message, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(bar));
  if (code != SB_THUMBTRACK && code != SB_ENDSCROLL)
    SendMessageA(parent, message, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(bar));
}

void SetListLineHeight(HWND list, int pixels) { lineHeights[list] = pixels; }

}  // namespace compat

// ---- The control calls of the dialog API that work on any window ----

int SetScrollPos(HWND window, int bar, int position, BOOL) {
  if (bar != SB_CTL || !compat::FindControl(window)) return 0;
  return static_cast<int>(SendMessageA(window, SBM_SETPOS, static_cast<WPARAM>(position), 0));
}

int GetScrollPos(HWND window, int bar) {
  if (bar != SB_CTL || !compat::FindControl(window)) return 0;
  return static_cast<int>(SendMessageA(window, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL) {
  if (bar != SB_CTL || !compat::FindControl(window)) return FALSE;
  SendMessageA(window, SBM_SETRANGE, static_cast<WPARAM>(minimum), maximum);
  return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, LPINT minimum, LPINT maximum) {
  if (bar != SB_CTL || !compat::FindControl(window)) return FALSE;
  SendMessageA(window, SBM_GETRANGE, reinterpret_cast<WPARAM>(minimum), reinterpret_cast<LPARAM>(maximum));
  return TRUE;
}
