// Where the window looks for its help file: the program folder first, then
// beside the executable (a build from source), then the share folder of an
// installation (bin/../share/tarnwick), taking only regular files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/HelpFileLocation.h"
#include "support/TempDir.h"

namespace tw {
namespace {

enum class Entry { None, File, Folder, Fifo };

void Make(const std::string& path, Entry entry) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  switch (entry) {
    case Entry::None:
      break;
    case Entry::File:
      std::ofstream(path) << ":Base TARNWICK.HLP\n";
      break;
    case Entry::Folder:
      std::filesystem::create_directories(path);
      break;
    case Entry::Fifo:
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
      break;
  }
}

TEST(HelpFileLocation, ProgramFolderThenExecutableFolderThenInstalledShareFolder) {
  enum Where { Config, Bin, Share };
  const struct {
    Entry config, bin, share;
    Where expected;
  } cases[] = {
      // An installed program: the help file only in <prefix>/share/tarnwick.
      {Entry::None, Entry::None, Entry::File, Share},
      {Entry::File, Entry::None, Entry::File, Config},
      {Entry::None, Entry::File, Entry::File, Bin},
      {Entry::Folder, Entry::Fifo, Entry::File, Share},
      // Nothing usable: the name beside the executable, for the message.
      {Entry::None, Entry::None, Entry::None, Bin},
      {Entry::None, Entry::None, Entry::Folder, Bin},
      {Entry::None, Entry::None, Entry::Fifo, Bin},
  };
  int row = 0;
  for (const auto& c : cases) {
    test::TempDir dir;
    const std::string paths[] = {dir.File("config/TARNWICK.HLP"),
                                 dir.File("prefix/bin/TARNWICK.HLP"),
                                 dir.File("prefix/share/tarnwick/TARNWICK.HLP")};
    Make(paths[Config], c.config);
    Make(paths[Bin], c.bin);
    Make(paths[Share], c.share);
    std::filesystem::create_directories(dir.File("config"));
    std::filesystem::create_directories(dir.File("prefix/bin"));
    const QString found = FindHelpFile(QString::fromStdString(dir.File("config")),
                                       QString::fromStdString(dir.File("prefix/bin")));
    EXPECT_EQ(found.toStdString(), paths[c.expected]) << "row " << row;
    ++row;
  }
}

}  // namespace
}  // namespace tw
