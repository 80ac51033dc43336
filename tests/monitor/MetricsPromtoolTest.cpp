// Prometheus's own checker reads the exposition: resource names with quotes,
// backslashes, line feeds and bytes that are not UTF-8, every kind and status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

// The expressions of a Grafana dashboard file: the "expr" strings, JSON
// escapes undone, Grafana's variables replaced by a match-all pattern.
std::vector<std::string> DashboardExpressions(const std::string& json) {
  std::vector<std::string> found;
  const std::string key = "\"expr\": \"";
  for (size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1)) {
    std::string expr;
    for (size_t i = at + key.size(); i < json.size() && json[i] != '"'; ++i) {
      if (json[i] == '\\') ++i;
      expr += json[i];
    }
    for (const char* variable : {"$instance", "$resource"}) {
      for (size_t v = expr.find(variable); v != std::string::npos; v = expr.find(variable))
        expr.replace(v, std::string(variable).size(), ".*");
    }
    found.push_back(expr);
  }
  return found;
}

TEST(MetricsPromtoolTest, TheDocumentedScrapeConfigurationAndDashboardQueriesAreValid) {
  if (std::system("promtool --version >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "promtool (Debian package prometheus) is not installed";
  const std::string examples = std::string(std::getenv("TARNWICK_SOURCE_DIR")) + "/docs/examples/";
  test::TempDir dir;
  const std::string log = dir.File("promtool.log");
  EXPECT_EQ(
      std::system(
          ("promtool check config '" + examples + "prometheus.yml' > '" + log + "' 2>&1").c_str()),
      0)
      << test::ReadAll(log);
  const std::vector<std::string> expressions =
      DashboardExpressions(test::ReadAll(examples + "tarnwick-dashboard.json"));
  ASSERT_GE(expressions.size(), 5u);
  std::string rules = "groups:\n  - name: dashboard\n    rules:\n";
  for (size_t i = 0; i < expressions.size(); ++i) {
    std::string quoted;
    for (char c : expressions[i]) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    rules += "      - record: dashboard:panel" + std::to_string(i) + "\n        expr: '" + quoted +
             "'\n";
  }
  std::ofstream(dir.File("rules.yml")) << rules;
  EXPECT_EQ(
      std::system(
          ("promtool check rules '" + dir.File("rules.yml") + "' > '" + log + "' 2>&1").c_str()),
      0)
      << test::ReadAll(log) << rules;
}

}  // namespace
}  // namespace tw
