// The program as a user starts it from a shell: its options, and a clear
// one-line refusal (exit code 2) for anything it cannot do.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <filesystem>
#include <fstream>

#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

struct Outcome {
  int exitCode = -1;
  QString out, err;
};

Outcome Tarnwick(const QStringList& arguments) {
  test::EnsureQtApp();
  QProcess process;
  process.setProgram(QCoreApplication::applicationDirPath() + "/tarnwick");
  process.setArguments(arguments);
  process.start();
  process.waitForFinished(10000);
  return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
          QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(ProgramCommandLine, HelpAndVersionAnswerWithoutADisplay) {
  const Outcome version = Tarnwick({"--version", "-platform", "offscreen"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("tarnwick ")) << version.out.toStdString();
  const Outcome help = Tarnwick({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains("--config-dir DIR"));
}

TEST(ProgramCommandLine, UnusableArgumentsAreRefusedInOneLineAndCreateNothing) {
  test::TempDir dir;
  const std::string missing = dir.File("missing");
  const std::string file = dir.File("file");
  std::filesystem::create_directories(dir.File("x"));
  { std::ofstream(file) << "x"; }
  const struct {
    QStringList arguments;
    QString message;
  } cases[] = {
      {{"--frobnicate"}, "tarnwick: unknown option \"--frobnicate\" (try --help)\n"},
      {{"--config-dir"}, "tarnwick: --config-dir needs a value\n"},
      {{"--config-dir", QString::fromStdString(missing)},
       QString::fromStdString("tarnwick: the folder \"" + missing + "\" does not exist\n")},
      {{"--config-dir", QString::fromStdString(file)},
       QString::fromStdString("tarnwick: \"" + file + "\" is not a folder\n")},
  };
  for (const auto& c : cases) {
    const Outcome run = Tarnwick(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(run.err, c.message);
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace tw
