#include "platform/ProcessList.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace tw {

namespace {

bool AllDigits(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name) {
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  }
  return true;
}

bool ReadExe(const std::string& link, std::string& target) {
  char buffer[PATH_MAX];
  const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
  if (n <= 0 || n >= static_cast<ssize_t>(sizeof buffer)) return false;
  target.assign(buffer, static_cast<size_t>(n));
  // A program whose file was replaced since it started still counts as
  // running from that file.
  const std::string deleted = " (deleted)";
  if (target.size() > deleted.size() &&
      target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0) {
    target.resize(target.size() - deleted.size());
  }
  return true;
}

}  // namespace

bool ProcessListAvailable() {
  std::string self;
  return ReadExe("/proc/self/exe", self);
}

bool ReadProcessList(std::vector<ProcessEntry>& processes) {
  processes.clear();
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return false;
  while (const dirent* entry = readdir(proc)) {
    if (!AllDigits(entry->d_name)) continue;
    ProcessEntry process;
    process.pid = std::strtoll(entry->d_name, nullptr, 10);
    // Kernel threads and other users' processes have no readable executable.
    if (!ReadExe(std::string("/proc/") + entry->d_name + "/exe", process.exeFile)) continue;
    processes.push_back(std::move(process));
  }
  closedir(proc);
  std::sort(processes.begin(), processes.end(),
            [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
  return true;
}

}  // namespace tw
