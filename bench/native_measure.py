#!/usr/bin/env python3
"""Native reference measurements, printed one per line like the Windows measuring program does.

  native_measure.py djpeg PICTURE RUNS WARMUP
      process creation to exit of `djpeg -outfile /dev/null PICTURE` (the decode floor)
  native_measure.py viewer PICTURE REFERENCE.ppm RUNS WARMUP -- COMMAND...
      process creation of COMMAND PICTURE until an X window of that process is mapped and shows
      the picture, checked by pixels on the root window against the reference, as the Windows
      measuring program does for its windows.
"""

import ctypes
import ctypes.util
import os
import subprocess
import sys
import time

TIMEOUT_S = 60.0
# The screen repaints where a killed window was well within this.
AFTER_TIMEOUT_S = 15.0
TOLERANCE = 40
FRACTIONS = (0.2, 0.4, 0.6, 0.8)


class Reference:
    """Pixels of a binary 8-bit PPM, read on demand."""

    def __init__(self, path):
        self.file = open(path, "rb")
        header = []
        while len(header) < 4:
            line = self.file.readline()
            if not line.startswith(b"#"):
                header += line.split()
        if header[0] != b"P6" or header[3] != b"255":
            raise SystemExit(f"{path}: not an 8-bit binary PPM")
        self.width, self.height = int(header[1]), int(header[2])
        self.data = self.file.tell()

    def at(self, x, y):
        self.file.seek(self.data + (y * self.width + x) * 3)
        return tuple(self.file.read(3))


def near(a, b):
    return all(abs(p - q) <= TOLERANCE for p, q in zip(a, b))


def sample_points(left, top, width, height):
    return [(left + int(width * fx), top + int(height * fy)) for fy in FRACTIONS for fx in FRACTIONS]


def matches(shown, expected, needed=15):
    return sum(1 for s, e in zip(shown, expected) if near(s, e)) >= needed


class WindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
        ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("klass", ctypes.c_int),
        ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
        ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
        ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
        ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


IS_VIEWABLE = 2


class X:
    """The few Xlib calls the viewer measurement needs."""

    def __init__(self):
        lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                             ctypes.POINTER(WindowAttributes)]
        lib.XGetImage.restype = ctypes.c_void_p
        lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        lib.XGetPixel.restype = ctypes.c_ulong
        lib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        lib.XDestroyImage.argtypes = [ctypes.c_void_p]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.lib = lib
        self.display = lib.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("native_measure: cannot open the X display")
        self.root = lib.XDefaultRootWindow(self.display)
        self.pid_atom = lib.XInternAtom(self.display, b"_NET_WM_PID", 0)
        self.error_handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda display, event: 0)  # windows come and go while we look
        lib.XSetErrorHandler(self.error_handler)

    def top_windows(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self.lib.XQueryTree(self.display, self.root, ctypes.byref(root),
                                   ctypes.byref(parent), ctypes.byref(children),
                                   ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self.lib.XFree(children)
        return found

    def pid_of(self, window):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        items, rest = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.lib.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, 0, 6,
                                             ctypes.byref(kind), ctypes.byref(fmt),
                                             ctypes.byref(items), ctypes.byref(rest),
                                             ctypes.byref(data))
        pid = None
        if status == 0 and data.value and items.value == 1:
            pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
        if data.value:
            self.lib.XFree(data)
        return pid

    def viewable(self, window):
        attributes = WindowAttributes()
        if not self.lib.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            return None
        if attributes.map_state != IS_VIEWABLE:
            return None
        return attributes.x, attributes.y, attributes.width, attributes.height

    def pixel(self, x, y):
        image = self.lib.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)
        if not image:
            return (0, 0, 0)
        value = self.lib.XGetPixel(image, 0, 0)
        self.lib.XDestroyImage(image)
        return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


def picture_shown(x, geometry, reference, screen):
    """Whether the window shows the picture, at its top-left or centred (a viewer's choice)."""
    left, top, width, height = geometry
    for offset_x, offset_y in ((0, 0), ((width - reference.width) // 2,
                                         (height - reference.height) // 2)):
        x0 = max(left, left + offset_x, 0)
        y0 = max(top, top + offset_y, 0)
        x1 = min(left + width, left + offset_x + reference.width, screen[0])
        y1 = min(top + height, top + offset_y + reference.height, screen[1])
        if x1 - x0 < 8 or y1 - y0 < 8:
            continue
        points = sample_points(x0, y0, x1 - x0, y1 - y0)
        expected = [reference.at(px - left - offset_x, py - top - offset_y) for px, py in points]
        if matches([x.pixel(px, py) for px, py in points], expected):
            return True
    return False


def screen_size(x):
    geometry = x.viewable(x.root)
    return (geometry[2], geometry[3]) if geometry else (1 << 15, 1 << 15)


def wait_gone(x, geometry, reference, screen):
    """After a window was killed: wait until the screen no longer shows its picture there, so that
    the next window is not taken for painted while the old pixels are still on the screen."""
    t0 = time.perf_counter()
    while time.perf_counter() - t0 < AFTER_TIMEOUT_S:
        if not picture_shown(x, geometry, reference, screen):
            return
        time.sleep(0.005)
    raise SystemExit(f"native_measure: the screen still showed the picture {AFTER_TIMEOUT_S:.0f} s "
                     "after its window was killed")


def measure_viewer(command, picture, reference_path, runs, warmup):
    x = X()
    reference = Reference(reference_path)
    screen = screen_size(x)
    for i in range(warmup + runs):
        t0 = time.perf_counter()
        process = subprocess.Popen(command + [picture], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        painted = visible = geometry = None
        while time.perf_counter() - t0 < TIMEOUT_S and painted is None:
            if process.poll() is not None:
                raise SystemExit(f"native_measure: {command[0]} ended (exit code "
                                 f"{process.returncode}) before it showed {picture}")
            for window in x.top_windows():
                if x.pid_of(window) != process.pid:
                    continue
                geometry = x.viewable(window)
                if geometry is None:
                    continue
                if visible is None:
                    visible = time.perf_counter() - t0
                if picture_shown(x, geometry, reference, screen):
                    painted = time.perf_counter() - t0
                    break
            time.sleep(0.001)
        process.kill()
        process.wait()
        if painted is None:
            if visible is None:
                raise SystemExit(f"native_measure: no window of {command[0]} was mapped within "
                                 f"{TIMEOUT_S:.0f} s")
            raise SystemExit(f"native_measure: {command[0]} did not show {picture} within "
                             f"{TIMEOUT_S:.0f} s")
        wait_gone(x, geometry, reference, screen)
        tag = "warmup" if i < warmup else "run"
        print(f"{tag} {i} painted_ms={painted * 1000:.1f} visible_ms={visible * 1000:.1f}",
              flush=True)


def measure_djpeg(picture, runs, warmup):
    for i in range(warmup + runs):
        t0 = time.perf_counter()
        subprocess.run(["djpeg", "-outfile", os.devnull, picture], check=True)
        elapsed = time.perf_counter() - t0
        tag = "warmup" if i < warmup else "run"
        print(f"{tag} {i} decoded_ms={elapsed * 1000:.1f}", flush=True)


def main(argv):
    if len(argv) >= 4 and argv[0] == "djpeg":
        measure_djpeg(argv[1], int(argv[2]), int(argv[3]))
    elif len(argv) >= 7 and argv[0] == "viewer" and argv[5] == "--":
        measure_viewer(argv[6:], argv[1], argv[2], int(argv[3]), int(argv[4]))
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
