// The atom of an X name, for the small X programs of the tests;
// XCB_ATOM_NONE when the server does not answer.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

inline xcb_atom_t XcbAtom(xcb_connection_t* x, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}
