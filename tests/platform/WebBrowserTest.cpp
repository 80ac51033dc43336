#include <gtest/gtest.h>

#include "platform/WebBrowser.h"
#include "support/XdgSandbox.h"

namespace tw {
namespace {

std::string Entry(const std::string& exec, const std::string& extra = "") {
  return "[Desktop Entry]\nType=Application\nName=B\n" + extra + "Exec=" + exec + "\n";
}

TEST(WebBrowser, FoundThroughTheFreedesktopDefaults) {
  struct File {
    const char* path;
    std::string text;
  };
  struct Case {
    const char* name;
    std::vector<File> files;
    const char* browser;  // $BROWSER, or nullptr
    std::string expected;
  } const cases[] = {
      {"nothing registered", {}, nullptr, ""},
      {"user default",
       {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=a.desktop\n"},
        {"share/applications/a.desktop", Entry("alpha %u")}},
       nullptr,
       "alpha %u"},
      {"first listed entry that exists",
       {{"config/mimeapps.list",
         "[Default Applications]\nx-scheme-handler/http=gone.desktop;b.desktop\n"},
        {"share2/applications/b.desktop", Entry("beta --new %U")}},
       nullptr,
       "beta --new %U"},
      {"user file before the system file",
       {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=a.desktop\n"},
        {"etc/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=b.desktop\n"},
        {"share/applications/a.desktop", Entry("alpha")},
        {"share/applications/b.desktop", Entry("beta")}},
       nullptr,
       "alpha"},
      {"system defaults.list",
       {{"share/applications/defaults.list",
         "[Default Applications]\nx-scheme-handler/http=b.desktop\n"},
        {"share/applications/b.desktop", Entry("beta")}},
       nullptr,
       "beta"},
      {"other sections and types do not count",
       {{"config/mimeapps.list",
         "[Removed Associations]\nx-scheme-handler/http=a.desktop\n"
         "[Default Applications]\ntext/html=a.desktop\nx-scheme-handler/https=a.desktop\n"},
        {"share/applications/a.desktop", Entry("alpha")}},
       nullptr,
       ""},
      {"hidden entry",
       {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=a.desktop\n"},
        {"share/applications/a.desktop", Entry("alpha", "Hidden=true\n")}},
       nullptr,
       ""},
      {"entry names outside the application folders are refused",
       {{"config/mimeapps.list",
         "[Default Applications]\nx-scheme-handler/http=../../etc/a.desktop\n"},
        {"etc/a.desktop", Entry("alpha")}},
       nullptr,
       ""},
      {"too long a command",
       {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=a.desktop\n"},
        {"share/applications/a.desktop", Entry(std::string(300, 'x'))}},
       nullptr,
       ""},
      {"$BROWSER first, its first entry",
       {{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=a.desktop\n"},
        {"share/applications/a.desktop", Entry("alpha")}},
       "gamma %s:delta",
       "gamma %s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::XdgSandbox sandbox;
    for (const File& f : c.files) sandbox.Write(f.path, f.text);
    if (c.browser != nullptr) setenv("BROWSER", c.browser, 1);
    EXPECT_EQ(WebBrowserCommand(), c.expected);
  }
}

}  // namespace
}  // namespace tw
