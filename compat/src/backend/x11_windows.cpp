#include "backend/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <vector>

#include "window/handles.h"

namespace compat {

namespace {

constexpr char SAVER_RUNNING_SELECTION[] = "_LUMIVANE_SCREENSAVER_RUNNING";

Display *ownDisplay = nullptr;
XErrorHandler previousHandler = nullptr;

// A window may vanish between a lookup and the next request: errors on our own connection
// are expected and ignored. So are SDL's requests on a foreign host window (a preview's
// parent) that has just been destroyed: Xlib's default handler would end the process, while
// the saver notices the loss on its next check and ends cleanly. Other errors go to the
// handler before ours.
int IgnoreOwnErrors(Display *display, XErrorEvent *event) {
  if (display == ownDisplay) return 0;
  if (event->error_code == BadWindow || event->error_code == BadDrawable) return 0;
  return previousHandler != nullptr ? previousHandler(display, event) : 0;
}

bool SameIgnoringCase(const char *a, const char *b) {
  return a != nullptr && b != nullptr && strcasecmp(a, b) == 0;
}

}  // namespace

X11Windows::X11Windows() {
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return;
  ownDisplay = display_;
  previousHandler = XSetErrorHandler(IgnoreOwnErrors);
  root_ = DefaultRootWindow(display_);
}

X11Windows::~X11Windows() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

unsigned long X11Windows::Intern(const char *name) { return XInternAtom(display_, name, False); }

std::vector<unsigned long> X11Windows::RootProperty(const char *name, unsigned long type,
                                                    long maxItems) {
  std::vector<unsigned long> items;
  ::Atom actualType;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  // Xlib hands 32-bit items back as longs.
  if (XGetWindowProperty(display_, root_, Intern(name), 0, maxItems, False, type, &actualType,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto *values = reinterpret_cast<const unsigned long *>(data);
    items.assign(values, values + count);
  }
  if (data != nullptr) XFree(data);
  return items;
}

std::string X11Windows::Name(unsigned long window) {
  std::string name;
  ::Atom type;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(display_, window, Intern("_NET_WM_NAME"), 0, 1024, False,
                         Intern("UTF8_STRING"), &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 8) {
    name.assign(reinterpret_cast<char *>(data), count);
  }
  if (data != nullptr) XFree(data);
  if (!name.empty()) return name;
  char *fetched = nullptr;
  if (XFetchName(display_, window, &fetched) && fetched != nullptr) {
    name = fetched;
    XFree(fetched);
  }
  return name;
}

bool X11Windows::Matches(unsigned long window, const char *className, const char *title) {
  if (className != nullptr) {
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(display_, window, &hint)) return false;
    const bool same = SameIgnoringCase(hint.res_class, className) ||
                      SameIgnoringCase(hint.res_name, className);
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
    if (!same) return false;
  }
  return title == nullptr || SameIgnoringCase(Name(window).c_str(), title);
}

unsigned long X11Windows::Find(const char *className, const char *title,
                               const std::function<bool(unsigned long)> &skip) {
  if (display_ == nullptr) return 0;
  std::vector<unsigned long> candidates;
  // A window manager lists the client windows it frames; without one they are the root's
  // children.
  candidates = RootProperty("_NET_CLIENT_LIST", XA_WINDOW, 65536);
  ::Window rootReturn, parentReturn;
  ::Window *children = nullptr;
  unsigned int childCount = 0;
  if (XQueryTree(display_, root_, &rootReturn, &parentReturn, &children, &childCount)) {
    candidates.insert(candidates.end(), children, children + childCount);
    if (children != nullptr) XFree(children);
  }
  for (unsigned long window : candidates) {
    if (window >= LOCAL_HANDLE_BASE || skip(window)) continue;
    if (Matches(window, className, title)) return window;
  }
  return 0;
}

bool X11Windows::Exists(unsigned long window) {
  if (display_ == nullptr || window == 0 || window >= LOCAL_HANDLE_BASE) return false;
  XWindowAttributes attributes;
  return XGetWindowAttributes(display_, window, &attributes) != 0;
}

bool X11Windows::Size(unsigned long window, int *width, int *height) {
  if (display_ == nullptr || window == 0 || window >= LOCAL_HANDLE_BASE) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

bool X11Windows::Close(unsigned long window) {
  if (!Exists(window)) return false;
  const ::Atom deleteWindow = Intern("WM_DELETE_WINDOW");
  ::Atom *protocols = nullptr;
  int count = 0;
  bool understands = false;
  if (XGetWMProtocols(display_, window, &protocols, &count)) {
    for (int i = 0; i < count; ++i) understands = understands || protocols[i] == deleteWindow;
    XFree(protocols);
  }
  if (!understands) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = Intern("WM_PROTOCOLS");
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(deleteWindow);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
  return true;
}

bool X11Windows::Activate(unsigned long window) {
  if (!Exists(window)) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = Intern("_NET_ACTIVE_WINDOW");
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // from a pager-like tool: honoured without a user action
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XRaiseWindow(display_, window);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable)
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XSync(display_, False);
  return true;
}

unsigned long X11Windows::Active() {
  if (display_ == nullptr) return 0;
  const std::vector<unsigned long> active = RootProperty("_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
  if (!active.empty() && active[0] != 0) return active[0];
  ::Window focus;
  int revert;
  XGetInputFocus(display_, &focus, &revert);
  return focus == PointerRoot || focus == None || focus == root_ ? 0 : focus;
}

bool X11Windows::Pointer(int *x, int *y) {
  if (display_ == nullptr) return false;
  ::Window rootReturn, childReturn;
  int windowX, windowY;
  unsigned int mask;
  return XQueryPointer(display_, root_, &rootReturn, &childReturn, x, y, &windowX, &windowY,
                       &mask) != 0;
}

void X11Windows::WarpPointer(int x, int y) {
  if (display_ == nullptr) return;
  XWarpPointer(display_, None, root_, 0, 0, 0, 0, x, y);
  XFlush(display_);
}

void X11Windows::SetClass(unsigned long window, const std::string &className) {
  if (display_ == nullptr) return;
  std::string name = className;
  XClassHint hint{name.data(), name.data()};
  XSetClassHint(display_, window, &hint);
  XSync(display_, False);
}

std::vector<MonitorArea> X11Windows::Monitors() {
  std::vector<MonitorArea> areas;
  if (display_ == nullptr) return areas;
  int eventBase, errorBase, major = 0, minor = 0;
  if (!XRRQueryExtension(display_, &eventBase, &errorBase) ||
      !XRRQueryVersion(display_, &major, &minor) || major * 100 + minor < 105)
    return areas;
  int count = 0;
  XRRMonitorInfo *monitors = XRRGetMonitors(display_, root_, True, &count);
  if (monitors == nullptr) return areas;
  for (int i = 0; i < count; ++i) {
    const XRRMonitorInfo &m = monitors[i];
    if (m.width <= 0 || m.height <= 0) continue;
    const MonitorArea area{m.x, m.y, m.width, m.height};
    if (m.primary) areas.insert(areas.begin(), area);
    else areas.push_back(area);
  }
  XRRFreeMonitors(monitors);
  return areas;
}

// The flag is a selection this connection owns: other processes see it through the server,
// and the server drops it by itself when the owner's connection ends, a crash included, so
// nothing needs to run in a dying process to clear it.
bool X11Windows::SaverRunning() {
  if (display_ == nullptr) return false;
  return XGetSelectionOwner(display_, Intern(SAVER_RUNNING_SELECTION)) != None;
}

void X11Windows::SetSaverRunning(bool on) {
  if (display_ == nullptr) return;
  if (on && flagOwner_ == 0) {
    XSetWindowAttributes attributes{};
    flagOwner_ = XCreateWindow(display_, root_, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0,
                               &attributes);
  }
  XSetSelectionOwner(display_, Intern(SAVER_RUNNING_SELECTION), on ? flagOwner_ : None,
                     CurrentTime);
  XSync(display_, False);
}

}  // namespace compat
