// A stand-in for a desktop's system tray: owns the X selection
// "_NET_SYSTEM_TRAY_S0" and announces it, as a tray host does, so that
// programs see a tray they can put their icon in. Prints "ready" once it owns
// the selection, then "dock 0x<window>" for every icon that asks to be docked,
// and runs until killed.
#include <xcb/xcb.h>

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "XcbAtom.h"

namespace {

constexpr uint32_t kRequestDock = 0;

void ReportDockRequest(const xcb_generic_event_t* event, xcb_atom_t opcode) {
  if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return;
  const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
  if (message->type != opcode || message->data.data32[1] != kRequestDock) return;
  std::printf("dock 0x%x\n", static_cast<unsigned>(message->data.data32[2]));
  std::fflush(stdout);
}

}  // namespace

int main() {
  int screenNumber = 0;
  xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(x) != 0) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const xcb_window_t owner = xcb_generate_id(x);
  xcb_create_window(x, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  const xcb_atom_t selection = XcbAtom(x, "_NET_SYSTEM_TRAY_S0");
  xcb_set_selection_owner(x, owner, selection, XCB_CURRENT_TIME);
  xcb_client_message_event_t manager{};
  manager.response_type = XCB_CLIENT_MESSAGE;
  manager.format = 32;
  manager.window = screen->root;
  manager.type = XcbAtom(x, "MANAGER");
  manager.data.data32[0] = XCB_CURRENT_TIME;
  manager.data.data32[1] = selection;
  manager.data.data32[2] = owner;
  xcb_send_event(x, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&manager));
  xcb_flush(x);
  std::printf("ready\n");
  std::fflush(stdout);
  // Docking requests are reported, not embedded: the icon's owner only needs a
  // tray, and whoever started the host learns which window asked.
  const xcb_atom_t opcode = XcbAtom(x, "_NET_SYSTEM_TRAY_OPCODE");
  while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
    ReportDockRequest(event, opcode);
    std::free(event);
  }
  return 0;
}
