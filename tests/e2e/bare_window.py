#!/usr/bin/env python3
"""Maps one plain X window, white, with no children (as the desktop's preview area is), named
by the first argument, and keeps it until killed. Usage: bare_window.py <name> <w>x<h>+<x>+<y>"""
import ctypes
import ctypes.util
import re
import signal
import sys

name, geometry = sys.argv[1], sys.argv[2]
w, h, x, y = map(int, re.match(r"(\d+)x(\d+)\+(\d+)\+(\d+)$", geometry).groups())
xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + \
    [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
xlib.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
xlib.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

display = xlib.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
window = xlib.XCreateSimpleWindow(display, xlib.XDefaultRootWindow(display), x, y, w, h, 0,
                                  0, 0xFFFFFF)
xlib.XStoreName(display, window, name.encode())
xlib.XMapWindow(display, window)
xlib.XSync(display, 0)
print(window, flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
signal.pause()
