// The running processes from a Toolhelp snapshot; each one's executable is
// asked of the process itself, since the snapshot names only the file.
#include <windows.h>

// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include "platform/ProcessList.h"
#include "platform/win32/WideText.h"

namespace tw {

namespace {

// The full path of the process's executable; empty when it cannot be read
// (another user's or a protected process).
std::string ExecutableOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return {};
  wchar_t path[32768];
  DWORD length = sizeof path / sizeof path[0];
  const bool ok = QueryFullProcessImageNameW(process, 0, path, &length) != 0;
  CloseHandle(process);
  return ok ? Narrow(std::wstring(path, length)) : std::string();
}

}  // namespace

bool ProcessListAvailable() {
  return true;
}

bool ReadProcessList(std::vector<ProcessEntry>& processes) {
  processes.clear();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry)) {
    std::string file = ExecutableOf(entry.th32ProcessID);
    if (!file.empty()) processes.push_back({static_cast<int64_t>(entry.th32ProcessID), file});
  }
  CloseHandle(snapshot);
  // The system's own order is kept: "last" means last in its list.
  return true;
}

}  // namespace tw
