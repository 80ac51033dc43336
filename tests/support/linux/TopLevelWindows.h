// Another process's windows seen through the X server, as a window manager
// sees them: its viewable top-level windows (found by _NET_WM_PID) and the
// close message a window manager sends for the title bar's close button or
// Alt+F4 (WM_DELETE_WINDOW). The test session runs no window manager, so
// the programs' windows are the children of the root window.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tw::test {

class TopLevelWindows {
 public:
  TopLevelWindows() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    pidAtom_ = Atom("_NET_WM_PID");
    protocols_ = Atom("WM_PROTOCOLS");
    deleteWindow_ = Atom("WM_DELETE_WINDOW");
  }
  ~TopLevelWindows() { xcb_disconnect(connection_); }
  TopLevelWindows(const TopLevelWindows&) = delete;
  TopLevelWindows& operator=(const TopLevelWindows&) = delete;

  // Whether the X server could be reached.
  bool Ok() const { return root_ != 0; }

  // The viewable top-level windows of process `pid`.
  std::vector<xcb_window_t> Of(long pid) {
    std::vector<xcb_window_t> found;
    auto tree = Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (!tree) return found;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
      if (Viewable(children[i]) && PidOf(children[i]) == pid) found.push_back(children[i]);
    }
    return found;
  }

  // Mapped and not destroyed.
  bool Viewable(xcb_window_t window) {
    auto attributes = Own(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  }

  // Sends `window` the window manager's close message.
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
  template <typename T>
  static std::unique_ptr<T, decltype(&std::free)> Own(T* reply) {
    return {reply, &std::free};
  }
  xcb_atom_t Atom(const char* name) {
    auto reply = Own(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
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

}  // namespace tw::test
