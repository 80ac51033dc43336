// The process snapshot functions are looked up at run time: systems without
// them do not offer closing a program by its file.
#include "platform/ProcessList.h"

#include <tlhelp32.h>
#include <windows.h>

#include <algorithm>

namespace tw {

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32);

struct Toolhelp {
  CreateSnapshotFn create = nullptr;
  ProcessWalkFn first = nullptr;
  ProcessWalkFn next = nullptr;
};

Toolhelp LookUp() {
  Toolhelp t;
  if (HMODULE kernel = GetModuleHandleA("KERNEL32.DLL")) {
    t.create =
        reinterpret_cast<CreateSnapshotFn>(GetProcAddress(kernel, "CreateToolhelp32Snapshot"));
    t.first = reinterpret_cast<ProcessWalkFn>(GetProcAddress(kernel, "Process32First"));
    t.next = reinterpret_cast<ProcessWalkFn>(GetProcAddress(kernel, "Process32Next"));
  }
  return t;
}

}  // namespace

bool ProcessListAvailable() {
  const Toolhelp t = LookUp();
  return t.create != nullptr && t.first != nullptr && t.next != nullptr;
}

bool ReadProcessList(std::vector<ProcessEntry>& processes) {
  processes.clear();
  const Toolhelp t = LookUp();
  if (t.create == nullptr || t.first == nullptr || t.next == nullptr) return false;
  HANDLE snapshot = t.create(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = t.first(snapshot, &entry); ok; ok = t.next(snapshot, &entry)) {
    processes.push_back({static_cast<int64_t>(entry.th32ProcessID), entry.szExeFile});
  }
  CloseHandle(snapshot);
  // The system's own order is kept: "last" means last in its list.
  return true;
}

}  // namespace tw
