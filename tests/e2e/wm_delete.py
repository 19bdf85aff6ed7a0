#!/usr/bin/env python3
"""Ask a window to close the way a window manager's close box does: send it
the WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.

Usage: wm_delete.py WINDOW_ID   (decimal or 0x hex; DISPLAY from the environment)

Only libX11 through ctypes, so nothing beyond the Python standard library is
needed.
"""
import ctypes
import ctypes.util
import sys
import time

CLIENT_MESSAGE = 33
NO_EVENT_MASK = 0


class ClientMessageData(ctypes.Union):
    _fields_ = [("b", ctypes.c_char * 20), ("s", ctypes.c_short * 10), ("l", ctypes.c_long * 5)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ClientMessageData),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: wm_delete.py WINDOW_ID")
    window = int(sys.argv[1], 0)
    name = ctypes.util.find_library("X11") or "libX11.so.6"
    x11 = ctypes.CDLL(name)
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    dpy = None
    for _ in range(10):  # a connection to Xvfb now and then fails at once
        dpy = x11.XOpenDisplay(None)
        if dpy:
            break
        time.sleep(0.05)
    if not dpy:
        sys.exit("wm_delete.py: cannot open the display")
    ev = XEvent()
    ev.xclient.type = CLIENT_MESSAGE
    ev.xclient.window = window
    ev.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    ev.xclient.format = 32
    ev.xclient.data.l[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    ev.xclient.data.l[1] = 0  # CurrentTime
    ok = x11.XSendEvent(dpy, window, 0, NO_EVENT_MASK, ctypes.byref(ev))
    x11.XSync(dpy, 0)
    x11.XCloseDisplay(dpy)
    if not ok:
        sys.exit("wm_delete.py: the message could not be sent")


if __name__ == "__main__":
    main()
