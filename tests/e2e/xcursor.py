"""The pointer image the X display shows, read with XFixes: what a person sees, whatever the
program believes it has set. Standard library only (ctypes over libX11 and libXfixes)."""

import ctypes
import os


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.c_void_p),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class PointerImage:
    """Size and hotspot of the shown pointer. Wine's hourglass is animated, so its pixels change
    from frame to frame; size and hotspot tell the pointers apart."""

    def __init__(self, display_name=None):
        self._x11 = ctypes.CDLL("libX11.so.6")
        self._xfixes = ctypes.CDLL("libXfixes.so.3")
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11.XFree.argtypes = [ctypes.c_void_p]
        self._xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
        self._xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        name = (display_name or os.environ["DISPLAY"]).encode()
        self._display = self._x11.XOpenDisplay(name)
        if not self._display:
            raise RuntimeError(f"cannot open display {name.decode()}")

    def shown(self):
        """(width, height, xhot, yhot) of the pointer on the screen now."""
        image = self._xfixes.XFixesGetCursorImage(self._display)
        if not image:
            raise RuntimeError("XFixesGetCursorImage failed")
        c = image.contents
        shape = (c.width, c.height, c.xhot, c.yhot)
        self._x11.XFree(image)
        return shape

    def close(self):
        if self._display:
            self._x11.XCloseDisplay(self._display)
            self._display = None


# Measured with wine-8.0 and the Adwaita cursor theme at size 24 (the driver sets both): the
# arrow and the (animated) hourglass. The shipped HAND-M.CUR is 32 x 32, its hotspot at the
# fingertip.
ARROW = (24, 24, 4, 4)
HOURGLASS = (24, 24, 11, 11)


def describe(shape):
    names = {ARROW: "arrow", HOURGLASS: "hourglass"}
    if shape is None:
        return "none"
    return f"{names.get(shape, 'image')} {shape[0]}x{shape[1]} hotspot {shape[2]},{shape[3]}"


def cursor_file_shape(path):
    """(width, height, xhot, yhot) of the first image of a .cur file, as the display shows it."""
    with open(path, "rb") as f:
        data = f.read(22)
    width, height = data[6] or 256, data[7] or 256
    xhot, yhot = int.from_bytes(data[10:12], "little"), int.from_bytes(data[12:14], "little")
    return (width, height, xhot, yhot)
