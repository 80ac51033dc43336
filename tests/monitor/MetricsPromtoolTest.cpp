// Prometheus's own checker reads the exposition: resource names with quotes,
// backslashes, line feeds and bytes that are not UTF-8, every kind and status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "monitor/Metrics.h"
#include "support/TempDir.h"

namespace tw {
namespace {

TEST(MetricsPromtoolTest, PromtoolAcceptsTheExpositionOfHostileNames) {
  if (std::system("promtool --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "promtool (Debian package prometheus) is not installed";
  const std::vector<MetricsRow> rows{
      {R"(\\srv\"share"
two)",
       ResourceKind::Drive},
      {"caf\xE9 \xC0\xAF.iso", ResourceKind::File},
      {"127.0.0.1", ResourceKind::Echo},
      {"https://example.com/a b", ResourceKind::Web},
      {"", ResourceKind::None},
  };
  MetricsBook book;
  const DisplayUpdate updates[] = {
      {ResourceKind::Drive, "", 1.5, 2.5e9, 0},    {ResourceKind::File, "I/O error.", 0, 0, 0},
      {ResourceKind::Echo, "", 0, 0, 1e-9},        {ResourceKind::Web, "HTTP 503", 0, 0, 0},
      {ResourceKind::None, "Testing...", 0, 0, 0},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    book.Record(static_cast<int>(i) + 1, rows[i].name, updates[i]);
    book.RecordQuarterHour(rows[i].name, 1, 2, 3);
  }
  test::TempDir dir;
  const std::string file = dir.File("metrics.txt");
  std::ofstream(file, std::ios::binary) << book.Exposition(rows, "0.1 \"dev\"");
  const std::string log = dir.File("promtool.log");
  const int status =
      std::system(("promtool check metrics < '" + file + "' > '" + log + "' 2>&1").c_str());
  EXPECT_EQ(status, 0) << test::ReadAll(log) << test::ReadAll(file);
  EXPECT_EQ(test::ReadAll(log), "");
}

}  // namespace
}  // namespace tw
