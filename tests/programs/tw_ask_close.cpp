// Asks a top-level window to close as a window manager's close button does:
// a WM_DELETE_WINDOW message, which the program may answer as it likes (a
// confirmation, hiding to the tray). Usage: tw_ask_close <window id>.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

#include "XcbAtom.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tw_ask_close <window id>\n");
    return 2;
  }
  const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x) != 0) return 1;
  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = window;
  request.type = XcbAtom(x, "WM_PROTOCOLS");
  request.data.data32[0] = XcbAtom(x, "WM_DELETE_WINDOW");
  request.data.data32[1] = XCB_CURRENT_TIME;
  xcb_void_cookie_t sent = xcb_send_event_checked(x, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                  reinterpret_cast<const char*>(&request));
  xcb_generic_error_t* error = xcb_request_check(x, sent);
  const bool delivered = error == nullptr;
  std::free(error);
  xcb_disconnect(x);
  return delivered ? 0 : 1;
}
