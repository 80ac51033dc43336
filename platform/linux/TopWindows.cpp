// Top-level windows of the X server, through XCB. XCB reports a window that
// vanished during the walk as a failed reply instead of calling a
// process-wide error handler, so a walk never disturbs the toolkit's own
// connection.
#include "platform/TopWindows.h"

#if TARNWICK_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tw {

namespace {

template <typename T>
struct FreeDeleter {
  void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

class XcbTopWindows final : public TopWindows {
 public:
  XcbTopWindows() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
    if (it.rem == 0) return;
    root_ = it.data->root;
    wmState_ = Atom("WM_STATE");
    netWmName_ = Atom("_NET_WM_NAME");
    utf8String_ = Atom("UTF8_STRING");
    netWmPid_ = Atom("_NET_WM_PID");
    wmProtocols_ = Atom("WM_PROTOCOLS");
    wmDeleteWindow_ = Atom("WM_DELETE_WINDOW");
    ok_ = true;
  }
  ~XcbTopWindows() override {
    if (connection_ != nullptr) xcb_disconnect(connection_);
  }

  bool Available() const override { return ok_; }

  std::vector<TopWindow> List() override {
    std::vector<TopWindow> windows;
    if (!ok_) return windows;
    std::vector<xcb_window_t> children = Children(root_);
    // The server lists the children bottom to top.
    std::reverse(children.begin(), children.end());
    for (xcb_window_t child : children) {
      TopWindow w;
      w.id = ClientOf(child);
      w.title = Title(static_cast<xcb_window_t>(w.id));
      w.pid = Pid(static_cast<xcb_window_t>(w.id));
      windows.push_back(std::move(w));
    }
    return windows;
  }

  void RequestClose(uint64_t id) override {
    if (!ok_) return;
    const auto window = static_cast<xcb_window_t>(id);
    if (!SupportsDelete(window)) return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = wmProtocols_;
    event.data.data32[0] = wmDeleteWindow_;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
  }

 private:
  xcb_atom_t Atom(const char* name) {
    auto cookie = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }

  std::vector<xcb_window_t> Children(xcb_window_t window) {
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree) return {};
    const xcb_window_t* begin = xcb_query_tree_children(tree.get());
    return {begin, begin + xcb_query_tree_children_length(tree.get())};
  }

  Reply<xcb_get_property_reply_t> Property(xcb_window_t window, xcb_atom_t property,
                                           xcb_atom_t type, uint32_t longs) {
    auto cookie = xcb_get_property(connection_, 0, window, property, type, 0, longs);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr));
    if (reply && reply->type == XCB_ATOM_NONE) reply.reset();
    return reply;
  }

  bool HasWmState(xcb_window_t window) {
    return Property(window, wmState_, XCB_ATOM_ANY, 0) != nullptr;
  }

  // A window manager puts each program window into a frame of its own; the
  // program's window is the one inside that carries WM_STATE. Without a
  // window manager (or for a hidden window) the child of the root is the
  // program's window itself.
  xcb_window_t ClientOf(xcb_window_t frame) {
    if (HasWmState(frame)) return frame;
    std::vector<xcb_window_t> level = Children(frame);
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
      std::vector<xcb_window_t> next;
      for (xcb_window_t w : level) {
        if (HasWmState(w)) return w;
        std::vector<xcb_window_t> below = Children(w);
        next.insert(next.end(), below.begin(), below.end());
      }
      level = std::move(next);
    }
    return frame;
  }

  std::string Title(xcb_window_t window) {
    // Titles longer than 255 characters are compared by their start only.
    constexpr uint32_t kLongs = 1024 / 4;
    auto reply = Property(window, netWmName_, utf8String_, kLongs);
    if (!reply) reply = Property(window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, kLongs);
    if (!reply || reply->format != 8) return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    std::string title(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
    const size_t nul = title.find('\0');
    if (nul != std::string::npos) title.resize(nul);
    return title;
  }

  int64_t Pid(xcb_window_t window) {
    auto reply = Property(window, netWmPid_, XCB_ATOM_CARDINAL, 1);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  }

  bool SupportsDelete(xcb_window_t window) {
    auto reply = Property(window, wmProtocols_, XCB_ATOM_ATOM, 64);
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, wmDeleteWindow_) != atoms + count;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_atom_t wmState_ = 0, netWmName_ = 0, utf8String_ = 0, netWmPid_ = 0;
  xcb_atom_t wmProtocols_ = 0, wmDeleteWindow_ = 0;
  bool ok_ = false;
};

}  // namespace

std::unique_ptr<TopWindows> OpenTopWindows() {
  return std::make_unique<XcbTopWindows>();
}

}  // namespace tw

#else  // no XCB at build time: no windows to find or close

namespace tw {

namespace {
class NoTopWindows final : public TopWindows {
 public:
  bool Available() const override { return false; }
  std::vector<TopWindow> List() override { return {}; }
  void RequestClose(uint64_t) override {}
};
}  // namespace

std::unique_ptr<TopWindows> OpenTopWindows() {
  return std::make_unique<NoTopWindows>();
}

}  // namespace tw

#endif
