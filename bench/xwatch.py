"""A client of the benchmark's X server that watches the programs' windows from outside, as a player
sees them: whether a window shows anything yet, a click, and the window manager's request to close."""
import ctypes


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


class XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_char * 96)]


# X errors (a window that went away, or is not mapped yet, while it was looked at) are ignored.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, event: 0)

_ClientMessage = 33
_ZPixmap = 2


class X:
    def __init__(self, display):
        self.lib = lib = ctypes.CDLL("libX11.so.6")
        self.test = test = ctypes.CDLL("libXtst.so.6")
        p, ul, i, ui = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint
        lib.XOpenDisplay.restype = p
        lib.XDefaultRootWindow.restype = ul
        lib.XDefaultRootWindow.argtypes = [p]
        lib.XGetImage.restype = ctypes.POINTER(XImage)
        lib.XGetImage.argtypes = [p, ul, i, i, ui, ui, ul, i]
        lib.XQueryTree.argtypes = [p, ul, p, p, p, p]
        lib.XGetGeometry.argtypes = [p, ul, p, p, p, p, p, p, p]
        lib.XInternAtom.restype = ul
        lib.XInternAtom.argtypes = [p, ctypes.c_char_p, i]
        lib.XSendEvent.argtypes = [p, ul, i, ctypes.c_long, p]
        lib.XFree.argtypes = [p]
        lib.XFlush.argtypes = [p]
        lib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        test.XTestFakeMotionEvent.argtypes = [p, i, i, i, ul]
        test.XTestFakeButtonEvent.argtypes = [p, ui, i, ul]
        test.XTestFakeKeyEvent.argtypes = [p, ui, i, ul]
        lib.XKeysymToKeycode.argtypes = [p, ul]
        lib.XKeysymToKeycode.restype = ctypes.c_ubyte
        lib.XSetErrorHandler(_IGNORE_ERRORS)
        self.dpy = lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise SystemExit(f"bench/run: cannot open the display {display}")
        self.root = lib.XDefaultRootWindow(self.dpy)

    def windows(self):
        """The top-level windows, as (id, x, y, width, height)."""
        root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return []
        ids = ctypes.cast(children, ctypes.POINTER(ctypes.c_ulong))[:count.value] if count.value else []
        if children:
            self.lib.XFree(children)
        found = []
        for w in ids:
            r, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
            width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
            if self.lib.XGetGeometry(self.dpy, w, ctypes.byref(r), ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                                     ctypes.byref(depth)) and width.value > 16 and height.value > 16:
                found.append((w, x.value, y.value, width.value, height.value))
        return found

    def shows_something(self):
        """Whether a window shows more than one colour (a window not mapped yet gives no image)."""
        for w, _, _, width, height in self.windows():
            image = self.lib.XGetImage(self.dpy, w, 0, 0, width, height, 0xFFFFFF, _ZPixmap)
            if not image:
                continue
            im = image.contents
            data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
            step = max(im.bits_per_pixel // 8, 1)
            self.lib.XDestroyImage(image)
            if data != data[:step] * (len(data) // step):
                return True
        return False

    def largest_window(self):
        return max(self.windows(), key=lambda w: w[3] * w[4], default=None)

    def click(self, x, y):
        self.test.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.test.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.test.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.lib.XFlush(self.dpy)

    def hold_ctrl(self, down):
        """Presses or lets go of the left Ctrl key, in the window under the pointer."""
        self.test.XTestFakeKeyEvent(self.dpy, self.lib.XKeysymToKeycode(self.dpy, 0xFFE3), 1 if down else 0, 0)
        self.lib.XFlush(self.dpy)

    def close(self, window):
        """What a window manager sends when the player closes the window."""
        event = XClientMessage()
        event.type = _ClientMessage
        event.window = window
        event.message_type = self.lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        event.format = 32
        event.data[0] = self.lib.XInternAtom(self.dpy, b"WM_DELETE_WINDOW", 0)
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event))
        self.lib.XFlush(self.dpy)
