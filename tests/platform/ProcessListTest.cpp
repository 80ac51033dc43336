// The process list read from the system, as closing by file uses it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/ProcessList.h"

namespace tw {
namespace {

TEST(ProcessList, ListsRunningProgramsWithTheirFiles) {
  ASSERT_TRUE(ProcessListAvailable());
  std::vector<ProcessEntry> processes;
  ASSERT_TRUE(ReadProcessList(processes));
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  bool found = false;
  for (size_t i = 0; i < processes.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(processes[i - 1].pid, processes[i].pid);
    }
    if (processes[i].pid == getpid()) found = processes[i].exeFile == self;
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tw
