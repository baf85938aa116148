// Dialogs on a display through FLTK 1.3. The widgets only show the controls' state and report
// clicks, typing and scrolling to the controls (dialog/controls.h); every key that the dialog
// manager handles (Tab, arrows, Enter, Escape, mnemonics, Shift and Ctrl in list boxes) goes
// through IsDialogMessageA, so the Win32 rules hold wherever FLTK's own would differ.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <X11/Xlib.h>

#include <windows.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dialog/controls.h"
#include "dialog/dialog_view.h"
#include "window/input.h"
#include "window/keyboard.h"

namespace compat {
namespace {

std::set<class FltkDialogView *> openViews;

int PixelSize(int pointSize) { return (pointSize * 96 + 36) / 72; }

// Windows draws a lone CR in a static text as a line break; FLTK needs a newline.
std::string LabelText(const std::string &text) {
  std::string out = text;
  for (char &c : out)
    if (c == '\r') c = '\n';
  return out;
}

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

UINT VirtualKey(int key) {
  if (key >= 'a' && key <= 'z') return static_cast<UINT>(key - 'a' + 'A');
  if ((key >= '0' && key <= '9') || key == ' ') return static_cast<UINT>(key);
  switch (key) {
    case FL_Tab: return VK_TAB;
    case FL_Enter:
    case FL_KP_Enter: return VK_RETURN;
    case FL_Escape: return VK_ESCAPE;
    case FL_BackSpace: return VK_BACK;
    case FL_Delete: return VK_DELETE;
    case FL_Left: return VK_LEFT;
    case FL_Right: return VK_RIGHT;
    case FL_Up: return VK_UP;
    case FL_Down: return VK_DOWN;
    case FL_Home: return VK_HOME;
    case FL_End: return VK_END;
    case FL_Page_Up: return VK_PRIOR;
    case FL_Page_Down: return VK_NEXT;
    case FL_Shift_L:
    case FL_Shift_R: return VK_SHIFT;
    case FL_Control_L:
    case FL_Control_R: return VK_CONTROL;
    case FL_Alt_L:
    case FL_Alt_R: return VK_MENU;
    default: return 0;
  }
}

// A list box whose clicks follow the Win32 rules: Shift and Ctrl extend the selection from the
// anchor, and a second click on the same line within the double-click time and distance is a
// double click.
class ListWidget : public Fl_Browser {
 public:
  ListWidget(HWND control, int x, int y, int w, int h) : Fl_Browser(x, y, w, h), control_(control) {
    type(FL_MULTI_BROWSER);
  }
  int handle(int event) override {
    if (event != FL_PUSH || Fl::event_button() != FL_LEFT_MOUSE) return Fl_Browser::handle(event);
    if (Fl::event_x() >= x() + w() - scrollbar_size() - Fl::box_dx(box())) return Fl_Browser::handle(event);
    void *item = find_item(Fl::event_y());
    if (!item) return 1;
    const int line = lineno(item) - 1;
    const DWORD now = GetTickCount();
    const POINT at{Fl::event_x_root(), Fl::event_y_root()};
    SetFocus(control_);
    if (line == lastLine_ && WithinDoubleClick(lastClick_, last_, now, at)) {
      ListDoubleClick(control_, line);
      lastLine_ = -1;
    } else {
      ListClick(control_, line, Fl::event_state(FL_SHIFT) != 0, Fl::event_state(FL_CTRL) != 0);
      lastLine_ = line;
      lastClick_ = now;
      last_ = at;
    }
    return 1;
  }

 private:
  HWND control_;
  int lastLine_ = -1;
  DWORD lastClick_ = 0;
  POINT last_{0, 0};
};

// A static text or group box title: '&' marks the mnemonic, drawn underlined, as on Windows.
class TextBox : public Fl_Box {
 public:
  TextBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) { set_flag(SHORTCUT_LABEL); }
};

struct Item {
  HWND control;
  ControlKind kind;
  Fl_Widget *widget;
  std::vector<std::string> shownItems;
  std::string shownText;
};

class FltkDialogView : public DialogView {
 public:
  FltkDialogView(HWND dialog, int pointSize) : dialog_(dialog) {
    RECT r;
    GetWindowRect(dialog, &r);
    window_ = new Fl_Double_Window(r.left, r.top, r.right - r.left, r.bottom - r.top);
    window_->copy_label(WindowText(dialog).c_str());
    window_->callback(Closed, this);
    const int size = PixelSize(pointSize);
    for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) AddItem(h, size);
    window_->end();
    window_->set_modal();
    openViews.insert(this);
    Refresh();
  }
  ~FltkDialogView() override {
    openViews.erase(this);
    window_->hide();
    delete window_;
    Fl::flush();
  }

  void Refresh() override {
    const bool shown = IsWindowVisible(dialog_);
    if (!shown) {
      if (window_->shown()) window_->hide();
      return;
    }
    RECT r;
    GetWindowRect(dialog_, &r);
    if (r.left != window_->x() || r.top != window_->y()) window_->position(r.left, r.top);
    if (!window_->shown()) window_->show();
    if (IsWindowEnabled(dialog_)) window_->activate();
    else window_->deactivate();
    if (generation_ != ControlGeneration()) {
      generation_ = ControlGeneration();
      for (Item &item : items_) Show(item);
    }
    HWND focus = GetFocus();
    for (Item &item : items_)
      if (item.control == focus && Fl::focus() != item.widget && item.widget->visible_focus())
        item.widget->take_focus();
  }

  void WaitForInput(double seconds) override { Fl::wait(seconds); }

  // The key of an FLTK event, as the dialog manager sees it; false when FLTK should have it.
  bool RouteKey(int event) {
    const UINT vk = VirtualKey(Fl::event_key());
    if (!vk) return false;
    const bool down = event == FL_KEYBOARD;
    MSG key{};
    key.hwnd = GetFocus() ? GetFocus() : dialog_;
    key.message = KeyMessageForEvent(vk, down);
    key.wParam = vk;
    key.lParam = KeyMessageLParam(vk, down, false);
    key.time = GetTickCount();
    NoteRetrievedKey(key);
    Item *focus = ItemOf(key.hwnd);
    const bool inEdit = focus && focus->kind == ControlKind::Edit;
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) return true;
    if (!down) {
      // A button is pressed when Space comes up again.
      if (vk == VK_SPACE && !inEdit) IsDialogMessageA(dialog_, &key);
      return !inEdit;
    }
    // Typing and caret keys belong to the text field the user is in.
    const bool alt = Fl::event_state(FL_ALT) != 0;
    const bool dialogKey = vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE || alt;
    if (inEdit && !dialogKey) return false;
    IsDialogMessageA(dialog_, &key);
    MSG character;
    if (CharacterForKey(key, &character)) IsDialogMessageA(dialog_, &character);
    for (FltkDialogView *view : openViews) view->Refresh();
    return true;
  }

  bool Owns(Fl_Window *window) const { return window == window_; }
  void Pushed(Fl_Widget *widget) {
    for (Item &item : items_)
      if (item.widget == widget && item.kind != ControlKind::Static) SetFocus(item.control);
  }

 private:
  static void Closed(Fl_Widget *, void *self) {
    auto *view = static_cast<FltkDialogView *>(self);
    SendMessageA(view->dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  static void Activated(Fl_Widget *widget, void *self) {
    auto *view = static_cast<FltkDialogView *>(self);
    for (Item &item : view->items_)
      if (item.widget == widget) view->Act(item);
    for (FltkDialogView *v : openViews) v->Refresh();
  }

  Item *ItemOf(HWND control) {
    for (Item &item : items_)
      if (item.control == control) return &item;
    return nullptr;
  }

  void AddItem(HWND h, int size) {
    ControlState *state = FindControl(h);
    if (!state) return;
    RECT r;
    GetWindowRect(h, &r);
    POINT origin{r.left, r.top};
    ScreenToClient(dialog_, &origin);
    const int x = origin.x, y = origin.y, w = r.right - r.left, hgt = r.bottom - r.top;
    const DWORD style = Style(h);
    Fl_Widget *widget = nullptr;
    switch (state->kind) {
      case ControlKind::Button:
        switch (style & BS_TYPEMASK) {
          case BS_GROUPBOX: {
            auto *frame = new Fl_Box(FL_ENGRAVED_FRAME, x, y + size / 2, w, hgt - size / 2, nullptr);
            (void)frame;
            auto *title = new TextBox(x + 6, y, 0, size);
            title->box(FL_FLAT_BOX);
            title->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
            widget = title;
            break;
          }
          case BS_AUTOCHECKBOX:
          case BS_CHECKBOX:
            widget = new Fl_Check_Button(x, y, w, hgt);
            break;
          case BS_AUTORADIOBUTTON:
          case BS_RADIOBUTTON:
            widget = new Fl_Round_Button(x, y, w, hgt);
            break;
          default: {
            auto *button = new Fl_Button(x, y, w, hgt);
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) button->box(FL_THIN_UP_BOX);
            widget = button;
            break;
          }
        }
        break;
      case ControlKind::Static: {
        auto *text = new TextBox(x, y, w, hgt);
        const DWORD align = style & 3;
        text->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_WRAP |
                    (align == SS_RIGHT ? FL_ALIGN_RIGHT : align == SS_CENTER ? 0 : FL_ALIGN_LEFT));
        widget = text;
        break;
      }
      case ControlKind::Edit: {
        auto *input = new Fl_Input(x, y, w, hgt);
        input->when(FL_WHEN_CHANGED);
        input->textsize(size);
        widget = input;
        break;
      }
      case ControlKind::ListBox: {
        auto *list = new ListWidget(h, x, y, w, hgt);
        list->textsize(size);
        widget = list;
        break;
      }
      case ControlKind::ComboBox: {
        auto *choice = new Fl_Choice(x, y, w, hgt);
        choice->textsize(size);
        widget = choice;
        break;
      }
      case ControlKind::ScrollBar: {
        auto *bar = new Fl_Scrollbar(x, y, w, hgt);
        bar->type((style & SBS_VERT) ? FL_VERTICAL : FL_HORIZONTAL);
        bar->linesize(1);
        widget = bar;
        break;
      }
    }
    widget->labelsize(size);
    widget->callback(Activated, this);
    items_.push_back(Item{h, state->kind, widget, {}, {}});
  }

  void Act(Item &item) {
    ControlState *state = FindControl(item.control);
    if (!state) return;
    switch (item.kind) {
      case ControlKind::Button:
        ClickButton(item.control);
        break;
      case ControlKind::Edit:
        UserSetsEditText(item.control, static_cast<Fl_Input *>(item.widget)->value());
        item.shownText = static_cast<Fl_Input *>(item.widget)->value();
        break;
      case ControlKind::ComboBox:
        ComboUserSelects(item.control, static_cast<Fl_Choice *>(item.widget)->value());
        break;
      case ControlKind::ScrollBar: {
        auto *bar = static_cast<Fl_Scrollbar *>(item.widget);
        const int value = bar->value(), old = state->position;
        if (Fl::event() == FL_DRAG) {
          dragging_ = true;
          ScrollBarUserScrolls(item.control, SB_THUMBTRACK, value);
        } else if (dragging_ && Fl::event() == FL_RELEASE) {
          dragging_ = false;
          ScrollBarUserScrolls(item.control, SB_THUMBPOSITION, value);
        } else if (value != old) {
          // FLTK moved by a line (arrow) or a page (trough); Windows reports which, not where.
          const bool right = value > old;
          const int code = std::abs(value - old) == 1 ? (right ? SB_LINERIGHT : SB_LINELEFT)
                                                      : (right ? SB_PAGERIGHT : SB_PAGELEFT);
          ScrollBarUserScrolls(item.control, code, 0);
        }
        Show(item);
        break;
      }
      default:
        break;
    }
  }

  void Show(Item &item) {
    ControlState *state = FindControl(item.control);
    if (!state) return;
    Fl_Widget *w = item.widget;
    if (IsWindowEnabled(item.control)) w->activate();
    else w->deactivate();
    const std::string text = WindowText(item.control);
    switch (item.kind) {
      case ControlKind::Button:
      case ControlKind::Static:
        if (w->label() == nullptr || LabelText(text) != w->label()) {
          w->copy_label(LabelText(text).c_str());
          if (w->w() == 0) {  // a group box title is as wide as its text
            int tw = 0, th = 0;
            fl_font(w->labelfont(), w->labelsize());
            fl_measure(w->label(), tw, th);
            w->size(tw + 4, w->h());
          }
          window_->redraw();
        }
        if (auto *b = dynamic_cast<Fl_Button *>(w)) b->value(state->check == BST_CHECKED && item.kind == ControlKind::Button &&
                                                            (Style(item.control) & BS_TYPEMASK) != BS_PUSHBUTTON &&
                                                            (Style(item.control) & BS_TYPEMASK) != BS_DEFPUSHBUTTON);
        break;
      case ControlKind::Edit:
        if (text != item.shownText) {
          static_cast<Fl_Input *>(w)->value(text.c_str());
          item.shownText = text;
        }
        break;
      case ControlKind::ListBox: {
        auto *list = static_cast<Fl_Browser *>(w);
        if (item.shownItems != state->items) {
          list->clear();
          for (const std::string &line : state->items) list->add(line.c_str());
          item.shownItems = state->items;
        }
        const bool multi = Style(item.control) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
        for (int i = 0; i < static_cast<int>(state->items.size()); ++i)
          list->select(i + 1, multi ? state->selected[i] : state->current == i);
        break;
      }
      case ControlKind::ComboBox: {
        auto *choice = static_cast<Fl_Choice *>(w);
        if (item.shownItems != state->items) {
          choice->clear();
          for (const std::string &line : state->items) {
            // A menu path would split at slashes and take & as a shortcut; a plain text may not.
            const int at = choice->add("x");
            choice->replace(at, line.c_str());
          }
          item.shownItems = state->items;
        }
        if (state->current >= 0) choice->value(state->current);
        else choice->value(static_cast<const Fl_Menu_Item *>(nullptr));
        choice->redraw();
        break;
      }
      case ControlKind::ScrollBar: {
        auto *bar = static_cast<Fl_Scrollbar *>(w);
        bar->bounds(state->minimum, state->maximum);
        const int span = state->maximum - state->minimum;
        bar->slider_size(span > 0 ? std::max(0.08, 1.0 / (span + 1)) : 1.0);
        bar->value(state->position);
        break;
      }
    }
  }

  HWND dialog_;
  Fl_Double_Window *window_;
  std::vector<Item> items_;
  unsigned long generation_ = 0;
  bool dragging_ = false;
};

// Keys reach the dialog manager before any widget; a push on a widget moves the focus first.
int Dispatch(int event, Fl_Window *window) {
  // While a sub-dialog runs, what reaches its owner's window (the X focus may still be there)
  // is the sub-dialog's, as FLTK's modal rule has it.
  if (Fl::modal() && window != Fl::modal() && (event == FL_KEYBOARD || event == FL_KEYUP))
    window = Fl::modal();
  for (FltkDialogView *view : openViews) {
    if (!view->Owns(window)) continue;
    if ((event == FL_KEYBOARD || event == FL_KEYUP) && view->RouteKey(event)) return 1;
    // FLTK's own shortcuts (its '&' letters) would bypass the dialog's mnemonics.
    if (event == FL_SHORTCUT) return 0;
    if (event == FL_PUSH) {
      Fl_Widget *below = nullptr;
      for (int i = window->children() - 1; i >= 0; --i) {
        Fl_Widget *child = window->child(i);
        if (child->visible() && child->active() && Fl::event_inside(child)) {
          below = child;
          break;
        }
      }
      if (below) view->Pushed(below);
    }
  }
  return Fl::handle_(event, window);
}

bool displayChecked = false, displayOpen = false;
std::string displayProblem;

}  // namespace

bool ToolkitAvailable(std::string *why) {
  if (!displayChecked) {
    displayChecked = true;
    const char *name = std::getenv("DISPLAY");
    if (!name || !*name) {
      displayProblem = "no display (DISPLAY is not set); run it inside an X session";
    } else if (Display *d = XOpenDisplay(name)) {
      XCloseDisplay(d);
      fl_open_display();
      Fl::event_dispatch(Dispatch);
      Fl::visible_focus(1);
      displayOpen = true;
    } else {
      displayProblem = std::string("cannot open the display ") + name + "; check DISPLAY and that the X server runs";
    }
  }
  if (!displayOpen && why) *why = displayProblem;
  return displayOpen;
}

BaseUnits ToolkitBaseUnits(const char *, int pointSize) {
  BaseUnits units;
  if (!ToolkitAvailable(nullptr)) return units;
  fl_font(FL_HELVETICA, PixelSize(pointSize));
  const double letters = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  units.x = (static_cast<int>(letters) / 26 + 1) / 2;
  units.y = fl_height();
  return units;
}

std::unique_ptr<DialogView> OpenToolkitView(HWND dialog, const char *, int pointSize) {
  if (!ToolkitAvailable(nullptr)) return nullptr;
  return std::make_unique<FltkDialogView>(dialog, pointSize);
}

int ToolkitMessageBox(const char *text, const char *caption, UINT) {
  fl_message_title(caption);
  fl_message("%s", text);
  return IDOK;
}

}  // namespace compat
