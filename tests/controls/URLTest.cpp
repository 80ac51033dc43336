#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <fstream>

#include "controls/URL.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

// Points every freedesktop lookup at a folder of the test's own and restores
// the environment afterwards.
class UrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name,
                          value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("XDG_CONFIG_HOME", (dir_.Path() + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (dir_.Path() + "/etc").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_.Path() + "/data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir_.Path() + "/share").c_str(), 1);
    unsetenv("BROWSER");
    fs::create_directories(dir_.Path() + "/config");
    fs::create_directories(dir_.Path() + "/share/applications");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name, value->c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
  }

  // A fake browser: a script that writes its arguments, one a line, to a file.
  std::string MakeBrowser() {
    const std::string script = dir_.File("browser.sh");
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" << Marker()
                          << ".tmp\"\nmv \"" << Marker() << ".tmp\" \"" << Marker() << "\"\n";
    fs::permissions(script, fs::perms::owner_all);
    return script;
  }
  void RegisterDesktopBrowser(const std::string& exec) {
    std::ofstream(dir_.File("share/applications/testbrowser.desktop"))
        << "[Desktop Entry]\nType=Application\nName=Test\nExec=" << exec << "\n";
    std::ofstream(dir_.File("config/mimeapps.list"))
        << "[Default Applications]\nx-scheme-handler/http=missing.desktop;testbrowser.desktop\n";
  }
  std::string Marker() const { return dir_.File("opened.txt"); }
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

  static constexpr const char* kVariables[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                               "XDG_DATA_HOME", "XDG_DATA_DIRS", "BROWSER"};
  test::TempDir dir_;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(UrlTest, WithoutABrowserShowsTheNormalCursorAndDoesNothing) {
  // An association that names a desktop entry which does not exist counts as none.
  std::ofstream(dir_.File("config/mimeapps.list"))
      << "[Default Applications]\nx-scheme-handler/http=missing.desktop\n";
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
  RegisterDesktopBrowser(MakeBrowser() + " --new-window %u");
  TURL url("http://www.example.com/a b;c", nullptr);
  url.resize(150, 20);
  test::SignalCount started(&url, &TURL::browserStarted);
  bool ran = false;
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

TEST_F(UrlTest, BrowserVariableComesFirst) {
  RegisterDesktopBrowser("/nonexistent/other %u");
  setenv("BROWSER", (MakeBrowser() + ":/usr/bin/second").c_str(), 1);
  TURL url("http://host", nullptr);
  EXPECT_EQ(url.BrowserCommand().toStdString(), dir_.File("browser.sh"));
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
    setenv("BROWSER", c.command, 1);
    TURL url;
    EXPECT_EQ(url.CommandFor("ADDR"), c.expected) << c.command;
  }
}

}  // namespace
}  // namespace tw
