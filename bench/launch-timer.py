#!/usr/bin/env python3
"""Times one launch of a program until the X server maps its window, then its memory.

  launch-timer.py TITLE PROGRAM [ARGUMENT...]

Listens for windows being mapped on the root window of $DISPLAY (there is no window
manager, so every top-level window is a child of the root), starts the program, and
stops the clock at the MapNotify of the window titled TITLE. Half a second later, when
the window has been painted, it reads the program's peak resident memory (VmHWM) and
ends it. Prints one line: "<milliseconds> <kilobytes>".

(`xdotool search --sync` checks only every half second, too coarse for a start-up of
a tenth of a second.) Only the Python standard library is used; libX11 through ctypes.
"""

import ctypes
import ctypes.util
import os
import select
import signal
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
SETTLE_SECONDS = 0.5
TIMEOUT_SECONDS = 30


class XMapEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("override_redirect", ctypes.c_int),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("map", XMapEvent), ("pad", ctypes.c_long * 24)]


def x11_library():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x11.XPending.argtypes = [ctypes.c_void_p]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                               ctypes.POINTER(ctypes.c_char_p)]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    return x11


def window_name(x11, display, window):
    name = ctypes.c_char_p()
    if not x11.XFetchName(display, window, ctypes.byref(name)) or not name.value:
        return ""
    text = name.value.decode("utf-8", "replace")
    x11.XFree(name)
    return text


def peak_memory_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def main(arguments):
    if len(arguments) < 2:
        sys.exit(__doc__)
    title, command = arguments[0], arguments[1:]
    x11 = x11_library()
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    x11.XSync(display, 0)
    connection = x11.XConnectionNumber(display)

    started = time.monotonic()
    program = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    event = XEvent()
    try:
        while mapped is None:
            if time.monotonic() - started > TIMEOUT_SECONDS or program.poll() is not None:
                sys.exit(f"no window \"{title}\" was mapped")
            if not x11.XPending(display):
                select.select([connection], [], [], 0.05)
                continue
            x11.XNextEvent(display, ctypes.byref(event))
            if event.type == MAP_NOTIFY and window_name(x11, display, event.map.window) == title:
                mapped = time.monotonic()
        time.sleep(SETTLE_SECONDS)
        memory = peak_memory_kb(program.pid)
    finally:
        if program.poll() is None:
            program.send_signal(signal.SIGTERM)
            try:
                program.wait(5)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()
    print(f"{(mapped - started) * 1000:.1f} {memory}")


if __name__ == "__main__":
    main(sys.argv[1:])
