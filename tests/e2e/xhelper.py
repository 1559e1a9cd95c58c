#!/usr/bin/env python3
"""Helpers for the end-to-end test that xdotool does not offer.

  xhelper.py place FORM.ui WIDGET
      Prints "x y width height" of the named widget inside its window, from the form's
      geometry properties (each widget's rectangle is relative to its parent).

  xhelper.py close WINDOW-ID
      Asks the window to close the way a window manager's close button does: a
      WM_PROTOCOLS client message carrying WM_DELETE_WINDOW. (xdotool's windowclose
      destroys the window instead, and there is no window manager to turn Alt+F4
      into a close request.)

Only the Python standard library is used; libX11 is reached through ctypes.
"""

import ctypes
import ctypes.util
import sys
import xml.etree.ElementTree as ElementTree


def place(form_path, widget_name):
    root = ElementTree.parse(form_path).getroot()

    def rect_of(widget):
        rect = widget.find("property[@name='geometry']/rect")
        if rect is None:
            return 0, 0, 0, 0
        return tuple(int(rect.find(key).text) for key in ("x", "y", "width", "height"))

    def walk(parent, left, top):
        for child in parent.findall("widget"):
            x, y, width, height = rect_of(child)
            if child.get("name") == widget_name:
                return left + x, top + y, width, height
            found = walk(child, left + x, top + y)
            if found:
                return found
        return None

    # The form's own widget is the window: its children are placed inside it.
    found = walk(root.find("widget"), 0, 0)
    if not found:
        sys.exit(f"no widget {widget_name} in {form_path}")
    print(*found)


def size(form_path):
    rect = ElementTree.parse(form_path).getroot().find("widget/property[@name='geometry']/rect")
    print(rect.find("width").text, rect.find("height").text)


class ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]


def close(window_text):
    library = ctypes.util.find_library("X11") or "libX11.so.6"
    x11 = ctypes.CDLL(library)
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    window = int(window_text, 0)
    event = XEvent()
    event.client.type = 33  # ClientMessage
    event.client.send_event = 1
    event.client.display = display
    event.client.window = window
    event.client.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.client.format = 32
    event.client.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.client.data[1] = 0  # CurrentTime
    if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
        sys.exit("XSendEvent failed")
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def main(arguments):
    if len(arguments) == 3 and arguments[0] == "place":
        place(arguments[1], arguments[2])
    elif len(arguments) == 2 and arguments[0] == "size":
        size(arguments[1])
    elif len(arguments) == 2 and arguments[0] == "close":
        close(arguments[1])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
