// Desktop notifications: handed to the freedesktop notification service on
// the session bus ("org.freedesktop.Notifications"), which every desktop
// runs; the program never waits for it.
#pragma once

#include <string>

namespace tw {

// Shows `text` as a notification titled "Tarnwick". Returns an empty text
// when it was handed to the service, else why it could not be.
std::string ShowDesktopNotification(const std::string& text);

}  // namespace tw
