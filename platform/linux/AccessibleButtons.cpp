// Pressing buttons through AT-SPI, the desktop's accessibility bus. The
// worker of `QueuedAccessibleButtons` owns the AT-SPI connection alone (it
// runs on a main context of its own).
#include "platform/AccessibleButtons.h"

#include "platform/PressQueue.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#if TARNWICK_HAVE_ATSPI
#include <atspi/atspi.h>
#endif

namespace tw {

namespace {

#if TARNWICK_HAVE_ATSPI

// An AT-SPI object reference released at the end of its scope.
class Ref {
 public:
  explicit Ref(AtspiAccessible* a = nullptr) : a_(a) {}
  ~Ref() {
    if (a_ != nullptr) g_object_unref(a_);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  AtspiAccessible* get() const { return a_; }
  explicit operator bool() const { return a_ != nullptr; }

 private:
  AtspiAccessible* a_;
};

std::string NameOf(AtspiAccessible* a) {
  gchar* name = atspi_accessible_get_name(a, nullptr);
  std::string text = name != nullptr ? name : "";
  g_free(name);
  return text;
}

// Presses the control by its press-like action, else its first action.
void PressControl(AtspiAccessible* control) {
  AtspiAction* action = atspi_accessible_get_action_iface(control);
  if (action == nullptr) return;
  const gint count = atspi_action_get_n_actions(action, nullptr);
  gint chosen = count > 0 ? 0 : -1;
  for (gint i = 0; i < count; ++i) {
    gchar* name = atspi_action_get_action_name(action, i, nullptr);
    const std::string n = name != nullptr ? name : "";
    g_free(name);
    if (n == "press" || n == "Press" || n == "click" || n == "activate") {
      chosen = i;
      break;
    }
  }
  if (chosen >= 0) atspi_action_do_action(action, chosen, nullptr);
  g_object_unref(action);
}

// Depth first through the window's controls in their order, as a walk
// through child windows would go; stops at the first name containing the
// text, pressed or not. Bounded, so a huge or cyclic tree cannot hold the
// worker.
bool PressFirstMatch(AtspiAccessible* parent, const std::string& text, int depth, int& budget) {
  if (depth > 12) return false;
  const gint count = atspi_accessible_get_child_count(parent, nullptr);
  for (gint i = 0; i < count && budget > 0; ++i, --budget) {
    Ref child(atspi_accessible_get_child_at_index(parent, i, nullptr));
    if (!child) continue;
    if (NameOf(child.get()).find(text) != std::string::npos) {
      PressControl(child.get());
      return true;
    }
    if (PressFirstMatch(child.get(), text, depth + 1, budget)) return true;
  }
  return false;
}

class AtspiButtons final : public QueuedAccessibleButtons {
 public:
  AtspiButtons() { StartWorker(); }
  ~AtspiButtons() override { StopWorker(); }

 private:
  bool Connect() override {
    if (atspi_init() > 1) return false;
    context_ = g_main_context_new();
    atspi_set_main_context(context_);
    // Calls into a program that does not answer give up after 2 s.
    atspi_set_timeout(2000, 5000);
    return true;
  }

  void Disconnect() override {
    atspi_exit();
    g_main_context_unref(context_);
  }

  // The accessibility bus does not tell which of a program's same-titled
  // windows is which top-level window, so a press goes to each of them.
  void Press(const PressJob& job) override {
    while (g_main_context_iteration(context_, FALSE)) {
    }
    Ref desktop(atspi_get_desktop(0));
    if (!desktop) return;
    const gint apps = atspi_accessible_get_child_count(desktop.get(), nullptr);
    for (gint a = 0; a < apps; ++a) {
      Ref app(atspi_accessible_get_child_at_index(desktop.get(), a, nullptr));
      if (!app) continue;
      if (job.pid != 0 &&
          static_cast<int64_t>(atspi_accessible_get_process_id(app.get(), nullptr)) != job.pid) {
        continue;
      }
      const gint windows = atspi_accessible_get_child_count(app.get(), nullptr);
      for (gint w = 0; w < windows; ++w) {
        Ref window(atspi_accessible_get_child_at_index(app.get(), w, nullptr));
        if (!window || NameOf(window.get()) != job.windowTitle) continue;
        int budget = 5000;
        PressFirstMatch(window.get(), job.buttonText, 0, budget);
      }
    }
  }

  GMainContext* context_ = nullptr;
};

#endif  // TARNWICK_HAVE_ATSPI

class NoAccessibleButtons final : public AccessibleButtons {
 public:
  bool Available() const override { return false; }
  void PostPress(int64_t, const std::string&, const std::string&) override {}
  bool WaitIdle(int) override { return true; }
};

}  // namespace

std::unique_ptr<AccessibleButtons> OpenAccessibleButtons() {
#if TARNWICK_HAVE_ATSPI
  if (SessionBusNamed(std::getenv("DBUS_SESSION_BUS_ADDRESS"))) {
    return std::make_unique<AtspiButtons>();
  }
#endif
  return std::make_unique<NoAccessibleButtons>();
}

bool SessionBusNamed(const char* address) {
  return address != nullptr && *address != '\0' && std::strcmp(address, kNoSessionBusAddress) != 0;
}

void KeepSessionBusFromAutolaunching() {
  if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return;
  // The user's bus of the service manager, which the library finds by itself.
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
    struct stat info {};
    const std::string socket = std::string(runtime) + "/bus";
    if (stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) return;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBusAddress, 1);
}

}  // namespace tw
