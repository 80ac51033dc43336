// A screen reader's view of another program: its controls on the AT-SPI
// accessibility bus, their names, roles, states, actions and tables. Calls
// are synchronous D-Bus round trips; the program under test runs in a
// process of its own, so nothing here waits on this process's own windows.
#pragma once

#include <atspi/atspi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

// One accessible object, released with its last copy.
class Accessible {
 public:
  Accessible() = default;
  explicit Accessible(AtspiAccessible* a)
      : a_(a, [](AtspiAccessible* p) {
          if (p != nullptr) g_object_unref(p);
        }) {}
  explicit operator bool() const { return a_ != nullptr; }
  AtspiAccessible* get() const { return a_.get(); }

  // Reads go to the program each time: this process runs no event loop that
  // would keep the library's cache of names and states current.
  std::string Name() const {
    if (!a_) return {};
    atspi_accessible_clear_cache(get());
    return Take(atspi_accessible_get_name(get(), nullptr));
  }
  std::string Description() const {
    if (!a_) return {};
    atspi_accessible_clear_cache(get());
    return Take(atspi_accessible_get_description(get(), nullptr));
  }
  AtspiRole Role() const {
    return !a_ ? ATSPI_ROLE_INVALID : atspi_accessible_get_role(get(), nullptr);
  }
  bool Has(AtspiStateType state) const {
    if (!a_) return false;
    atspi_accessible_clear_cache(get());
    AtspiStateSet* set = atspi_accessible_get_state_set(get());
    const bool has = set != nullptr && atspi_state_set_contains(set, state);
    if (set != nullptr) g_object_unref(set);
    return has;
  }
  int ChildCount() const { return !a_ ? 0 : atspi_accessible_get_child_count(get(), nullptr); }
  Accessible Child(int i) const {
    return Accessible(atspi_accessible_get_child_at_index(get(), i, nullptr));
  }
  int64_t Pid() const { return atspi_accessible_get_process_id(get(), nullptr); }

  // The names of the object's actions, in their order.
  std::vector<std::string> Actions() const {
    std::vector<std::string> names;
    if (!a_) return names;
    AtspiAction* action = atspi_accessible_get_action_iface(get());
    if (action == nullptr) return names;
    const int count = atspi_action_get_n_actions(action, nullptr);
    for (int i = 0; i < count; ++i)
      names.push_back(Take(atspi_action_get_action_name(action, i, nullptr)));
    g_object_unref(action);
    return names;
  }
  // Runs the action at `index`, as a screen reader's "activate" does with 0.
  bool DoAction(int index = 0) const {
    if (!a_) return false;
    AtspiAction* action = atspi_accessible_get_action_iface(get());
    if (action == nullptr) return false;
    const bool done = atspi_action_do_action(action, index, nullptr);
    g_object_unref(action);
    return done;
  }

  // Depth first, the object itself first; stops when `visit` returns true.
  bool Walk(const std::function<bool(const Accessible&)>& visit, int depth = 0) const {
    if (visit(*this)) return true;
    if (depth > 20) return false;
    const int count = ChildCount();
    for (int i = 0; i < count; ++i) {
      const Accessible child = Child(i);
      if (child && child.Walk(visit, depth + 1)) return true;
    }
    return false;
  }
  // The first object (depth first) with this name and role.
  Accessible Find(const std::string& name, AtspiRole role) const {
    Accessible found;
    Walk([&](const Accessible& a) {
      if (a.Role() != role || a.Name() != name) return false;
      found = a;
      return true;
    });
    return found;
  }
  Accessible FindRole(AtspiRole role) const {
    Accessible found;
    Walk([&](const Accessible& a) {
      if (a.Role() != role) return false;
      found = a;
      return true;
    });
    return found;
  }

  static std::string Take(gchar* text) {
    std::string s = text != nullptr ? text : "";
    g_free(text);
    return s;
  }

 private:
  std::shared_ptr<AtspiAccessible> a_;
};

// A table's size and cells as the table interface gives them.
struct AccessibleTable {
  int rows = -1, columns = -1;
  std::vector<std::string> columnHeaders;
  std::vector<std::vector<std::string>> cells;  // [row][column] names
};

inline AccessibleTable ReadTable(const Accessible& table) {
  AccessibleTable out;
  AtspiTable* t = table ? atspi_accessible_get_table_iface(table.get()) : nullptr;
  if (t == nullptr) return out;
  out.rows = atspi_table_get_n_rows(t, nullptr);
  out.columns = atspi_table_get_n_columns(t, nullptr);
  for (int c = 0; c < out.columns; ++c) {
    out.columnHeaders.push_back(
        Accessible::Take(atspi_table_get_column_description(t, c, nullptr)));
  }
  for (int r = 0; r < out.rows; ++r) {
    out.cells.emplace_back();
    for (int c = 0; c < out.columns; ++c) {
      const Accessible cell(atspi_table_get_accessible_at(t, r, c, nullptr));
      out.cells.back().push_back(cell ? cell.Name() : "<none>");
    }
  }
  g_object_unref(t);
  return out;
}

// Connects this process to the accessibility bus; false when it cannot.
inline bool ConnectAccessibilityBus() {
  static const bool connected = atspi_init() <= 1;
  if (connected) atspi_set_timeout(5000, 10000);
  return connected;
}

// The top-level window of the program with process id `pid` that holds an
// object named `controlName`.
inline Accessible WindowOfProcess(int64_t pid, const std::string& controlName) {
  const Accessible desktop(atspi_get_desktop(0));
  if (!desktop) return {};
  const int apps = desktop.ChildCount();
  for (int a = 0; a < apps; ++a) {
    const Accessible app = desktop.Child(a);
    if (!app || app.Pid() != pid) continue;
    for (int w = 0; w < app.ChildCount(); ++w) {
      const Accessible window = app.Child(w);
      if (window && window.Walk([&](const Accessible& x) { return x.Name() == controlName; })) {
        return window;
      }
    }
  }
  return {};
}

}  // namespace tw::test
