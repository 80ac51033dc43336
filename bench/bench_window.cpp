// The program's main window seen from outside, through the X server, for the
// start-up and soak benchmarks (run-startup-bench.sh, run-soak-bench.sh):
//
//   bench_window first-draw PID START_NS [SECONDS]
//     waits until a top-level window of process PID is on the screen and
//     shows three colours or more in its middle row (drawn, not just mapped),
//     and prints the milliseconds from START_NS (CLOCK_REALTIME, as
//     `date +%s%N` prints it, taken just before the program was started) to
//     when the window was seen mapped and drawn.
//   bench_window first-change PID START_NS [SECONDS]
//     the same, then goes on watching the whole drawn window and prints the
//     milliseconds from START_NS to its first change (a program started
//     with sampling stopped changes its picture only when the trend chart
//     is drawn from the trend files loaded after the first picture), or
//     "changed_ms none" when nothing changed within 3 s.
//   bench_window close PID [SECONDS]
//     sends the process's top-level windows the close message a window
//     manager sends for the title bar's close button or Alt+F4
//     (WM_DELETE_WINDOW) and prints the milliseconds until the process has
//     ended (gone or a zombie).
// Exit status 1 when the wait runs past SECONDS (default 30), 2 on bad use.
#include <time.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

int64_t NowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

void SleepMs(int ms) {
  const timespec pause{0, ms * 1000000L};
  nanosleep(&pause, nullptr);
}

// Gone, or ended and waiting for its parent to collect it.
bool ProcessEnded(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const size_t close = text.rfind(')');
  return close == std::string::npos || text.compare(close + 2, 1, "Z") == 0 ||
         text.compare(close + 2, 1, "X") == 0;
}

class Display {
 public:
  Display() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    pidAtom_ = Atom("_NET_WM_PID");
    protocols_ = Atom("WM_PROTOCOLS");
    deleteWindow_ = Atom("WM_DELETE_WINDOW");
  }
  ~Display() { xcb_disconnect(connection_); }
  bool Ok() const { return root_ != 0; }

  // The viewable top-level windows of a process (no window manager: the
  // children of the root are the programs' windows).
  std::vector<xcb_window_t> WindowsOf(long pid) {
    std::vector<xcb_window_t> found;
    auto tree = Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (!tree) return found;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
      if (Viewable(children[i]) && PidOf(children[i]) == pid) found.push_back(children[i]);
    }
    return found;
  }

  // Three colours or more in the window's middle row: something was drawn
  // (a window mapped but not yet drawn shows the server's two-colour root
  // pattern or one background colour).
  bool Drawn(xcb_window_t window) {
    auto geometry =
        Own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry || geometry->width < 2 || geometry->height < 2) return false;
    auto image = Own(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                      static_cast<int16_t>(geometry->height / 2), geometry->width, 1, ~0u),
        nullptr));
    if (!image) return false;
    const uint8_t* bytes = xcb_get_image_data(image.get());
    const int length = xcb_get_image_data_length(image.get());
    const int pixel = length / geometry->width;
    std::set<std::string> colours;
    for (int at = 0; at + pixel <= length && colours.size() < 3; at += pixel)
      colours.emplace(reinterpret_cast<const char*>(bytes + at), static_cast<size_t>(pixel));
    return colours.size() >= 3;
  }

  // The whole window's pixels (empty when they cannot be read).
  std::string Picture(xcb_window_t window) {
    auto geometry =
        Own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry) return {};
    auto image =
        Own(xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                              geometry->width, geometry->height, ~0u),
                                nullptr));
    if (!image) return {};
    return std::string(reinterpret_cast<const char*>(xcb_get_image_data(image.get())),
                       static_cast<size_t>(xcb_get_image_data_length(image.get())));
  }

  void Close(xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols_;
    event.data.data32[0] = deleteWindow_;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
  }

 private:
  xcb_atom_t Atom(const char* name) {
    auto reply = Own(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
  }
  bool Viewable(xcb_window_t window) {
    auto attributes = Own(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  }
  long PidOf(xcb_window_t window) {
    auto reply = Own(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_atom_t pidAtom_ = 0, protocols_ = 0, deleteWindow_ = 0;
};

// Prints when the window's picture first differs from the one it had when first drawn.
void FirstChange(Display& display, xcb_window_t window, int64_t startNs) {
  const std::string first = display.Picture(window);
  const int64_t untilNs = NowNs() + int64_t{3000000000};
  while (NowNs() < untilNs) {
    SleepMs(5);
    const std::string now = display.Picture(window);
    if (!now.empty() && now != first) {
      std::printf("changed_ms %.1f\n", (NowNs() - startNs) / 1e6);
      return;
    }
  }
  std::printf("changed_ms none\n");
}

int FirstDraw(Display& display, long pid, int64_t startNs, int64_t deadlineNs, bool change) {
  int64_t mappedNs = 0;
  while (NowNs() < deadlineNs && !ProcessEnded(pid)) {
    for (xcb_window_t window : display.WindowsOf(pid)) {
      if (mappedNs == 0) mappedNs = NowNs();
      if (display.Drawn(window)) {
        const int64_t drawnNs = NowNs();
        std::printf("mapped_ms %.1f\ndrawn_ms %.1f\n", (mappedNs - startNs) / 1e6,
                    (drawnNs - startNs) / 1e6);
        if (change) FirstChange(display, window, startNs);
        return 0;
      }
    }
    SleepMs(2);
  }
  std::fprintf(stderr, "bench_window: no drawn window of process %ld\n", pid);
  return 1;
}

int Close(Display& display, long pid, int64_t deadlineNs) {
  const std::vector<xcb_window_t> windows = display.WindowsOf(pid);
  if (windows.empty()) {
    std::fprintf(stderr, "bench_window: process %ld has no window on the screen\n", pid);
    return 1;
  }
  const int64_t startNs = NowNs();
  for (xcb_window_t window : windows) display.Close(window);
  while (!ProcessEnded(pid)) {
    if (NowNs() > deadlineNs) {
      std::fprintf(stderr, "bench_window: process %ld still runs\n", pid);
      return 1;
    }
    SleepMs(2);
  }
  std::printf("close_ms %.1f\n", (NowNs() - startNs) / 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 2 ? argv[1] : "";
  const bool change = command == "first-change";
  const bool firstDraw = (command == "first-draw" || change) && argc >= 4;
  if (!firstDraw && command != "close") {
    std::fprintf(stderr,
                 "usage: bench_window first-draw PID START_NS [SECONDS]\n"
                 "       bench_window first-change PID START_NS [SECONDS]\n"
                 "       bench_window close PID [SECONDS]\n");
    return 2;
  }
  const long pid = std::strtol(argv[2], nullptr, 10);
  const int secondsArg = firstDraw ? 4 : 3;
  const long seconds = argc > secondsArg ? std::strtol(argv[secondsArg], nullptr, 10) : 30;
  const int64_t deadlineNs = NowNs() + int64_t{seconds} * 1000000000;
  Display display;
  if (!display.Ok()) {
    std::fprintf(stderr, "bench_window: no X display\n");
    return 2;
  }
  if (firstDraw)
    return FirstDraw(display, pid, std::strtoll(argv[3], nullptr, 10), deadlineNs, change);
  return Close(display, pid, deadlineNs);
}
