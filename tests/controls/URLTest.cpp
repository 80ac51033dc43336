#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <fstream>

#include "controls/URL.h"
#include "platform/ProgramLauncher.h"
#include "support/QtTestApp.h"
#include "support/XdgSandbox.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class UrlTest : public ::testing::Test {
 protected:
  // A fake browser: a script that writes its arguments, one a line, to a file.
  std::string MakeBrowser() {
    const std::string script = xdg_.File("browser.sh");
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" << Marker()
                          << ".tmp\"\nmv \"" << Marker() << ".tmp\" \"" << Marker() << "\"\n";
    fs::permissions(script, fs::perms::owner_all);
    return script;
  }
  void RegisterBrowser(const std::string& exec) {
    xdg_.Write("share/applications/testbrowser.desktop",
               "[Desktop Entry]\nType=Application\nName=Test\nExec=" + exec + "\n");
    xdg_.Write("config/mimeapps.list",
               "[Default Applications]\nx-scheme-handler/http=testbrowser.desktop\n");
  }
  std::string Marker() const { return xdg_.File("opened.txt"); }
  std::string ReadMarker() const {
    std::ifstream in(Marker());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Click(TURL& url) {
    const QPointF at(3, 3);
    QMouseEvent press(QEvent::MouseButtonPress, at, url.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, url.mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&url, &press);
    QApplication::sendEvent(&url, &release);
  }

  test::XdgSandbox xdg_;
};

TEST_F(UrlTest, WithoutABrowserShowsTheNormalCursorAndDoesNothing) {
  // An association that names a desktop entry which does not exist counts as none.
  xdg_.Write("config/mimeapps.list",
             "[Default Applications]\nx-scheme-handler/http=gone.desktop\n");
  TURL url("http://www.example.com", nullptr);
  url.resize(150, 20);
  test::SignalCount started(&url, &TURL::browserStarted);
  EXPECT_TRUE(url.BrowserCommand().isEmpty());
  EXPECT_EQ(url.cursor().shape(), Qt::ArrowCursor);
  Click(url);
  EXPECT_EQ(started.count, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(UrlTest, RegisteredBrowserOpensTheCaptionOnAClick) {
  RegisterBrowser(MakeBrowser() + " --new-window %u");
  TURL url("http://www.example.com/a b;c", nullptr);
  url.resize(150, 20);
  bool ran = false;
  test::SignalCount started(&url, &TURL::browserStarted);
  QObject::connect(&url, &TURL::browserStarted, [&ran](bool ok) { ran = ok; });
  EXPECT_EQ(url.cursor().shape(), Qt::PointingHandCursor);
  Click(url);
  ASSERT_EQ(started.count, 1);
  EXPECT_TRUE(ran);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ASSERT_TRUE(test::WaitFor([&] { return fs::exists(Marker()); }, 10000));
  // The address arrives as one argument, untouched by any shell.
  EXPECT_EQ(ReadMarker(), "--new-window\nhttp://www.example.com/a b;c\n");
}

// With the program launcher running (as in the program), the browser is
// started by it, with the same arguments.
TEST_F(UrlTest, TheLauncherStartsTheBrowser) {
  if (!StartProgramLauncher()) GTEST_SKIP() << "this system starts programs without a launcher";
  const int launcher = ProgramLauncherPid();
  RegisterBrowser(MakeBrowser() + " %u");
  TURL url("http://www.example.com/x", nullptr);
  url.resize(150, 20);
  bool ran = false;
  QObject::connect(&url, &TURL::browserStarted, [&ran](bool ok) { ran = ok; });
  Click(url);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(test::WaitFor([&] { return fs::exists(Marker()); }, 10000));
  EXPECT_EQ(ReadMarker(), "http://www.example.com/x\n");
  EXPECT_EQ(ProgramLauncherPid(), launcher);
  StopProgramLauncher();
}

TEST_F(UrlTest, CommandPutsTheAddressInPlaceOfTheFieldCode) {
  struct Case {
    const char* command;
    QStringList expected;
  } const cases[] = {
      {"web %u", {"web", "ADDR"}},
      {"web --x %U --y", {"web", "--x", "ADDR", "--y"}},
      {"web %s", {"web", "ADDR"}},
      {"\"/opt/my web/web\" \"%1\"", {"/opt/my web/web", "ADDR"}},
      {"web --icon %i %u %c", {"web", "--icon", "ADDR"}},
      {"web", {"web", "ADDR"}},
  };
  for (const Case& c : cases) {
    RegisterBrowser(c.command);
    TURL url;
    EXPECT_EQ(url.CommandFor("ADDR"), c.expected) << c.command;
  }
}

}  // namespace
}  // namespace tw
