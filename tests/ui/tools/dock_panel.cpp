// A desktop panel for the window tests under a window manager: a dock window
// along the bottom of the screen, HEIGHT pixels high, that reserves its
// strip (_NET_WM_STRUT and _NET_WM_STRUT_PARTIAL) so that the screen's
// available area ends above it. Runs until it is ended.
//
//   dock_panel HEIGHT
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

void SetCardinals(Display* display, Window window, const char* name, const long* values,
                  int count) {
  XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(values), count);
}

}  // namespace

int main(int argc, char** argv) {
  const int height = argc > 1 ? std::atoi(argv[1]) : 0;
  if (height <= 0) {
    std::fprintf(stderr, "usage: dock_panel HEIGHT\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "dock_panel: no X display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen);
  const int top = DisplayHeight(display, screen) - height;
  const Window panel = XCreateSimpleWindow(display, RootWindow(display, screen), 0, top,
                                           static_cast<unsigned>(width),
                                           static_cast<unsigned>(height), 0, 0, 0x30343cUL);
  XSizeHints hints{};
  hints.flags = PPosition | PSize | PMinSize | PMaxSize;
  hints.x = 0;
  hints.y = top;
  hints.width = hints.min_width = hints.max_width = width;
  hints.height = hints.min_height = hints.max_height = height;
  XSetWMNormalHints(display, panel, &hints);
  XStoreName(display, panel, "panel");

  const Atom dock = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(display, panel, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&dock), 1);
  // left, right, top, bottom; then the start and end of each strip.
  const long strut[12] = {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1};
  SetCardinals(display, panel, "_NET_WM_STRUT_PARTIAL", strut, 12);
  SetCardinals(display, panel, "_NET_WM_STRUT", strut, 4);
  XMapWindow(display, panel);
  XFlush(display);

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
  }
}
