// The metrics book and its exposition: statuses from the engine's own texts,
// label escaping, numbers in a comma locale, counters, and rows that are
// renamed, moved or deleted.
#include "monitor/Metrics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Messages.h"
#include "monitor/MetricsHost.h"
#include "support/CommaLocale.h"

namespace tw {
namespace {

DisplayUpdate Speeds(ResourceKind kind, double write, double read, double ping) {
  DisplayUpdate update;
  update.resourceKind = kind;
  update.writeSpeed = write;
  update.readSpeed = read;
  update.pingSpeed = ping;
  return update;
}

DisplayUpdate Status(ResourceKind kind, const std::string& text) {
  DisplayUpdate update;
  update.resourceKind = kind;
  update.status = text;
  return update;
}

bool Has(const std::string& text, const std::string& line) {
  return text.find("\n" + line + "\n") != std::string::npos;
}

// The sample lines of `text` that mention `fragment`.
std::vector<std::string> LinesWith(const std::string& text, const std::string& fragment) {
  std::vector<std::string> found;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    if (line[0] != '#' && line.find(fragment) != std::string::npos) found.push_back(line);
    start = end + 1;
  }
  return found;
}

HttpOutcome Web(HttpEnd end, int32_t status = 0) {
  HttpOutcome outcome;
  outcome.end = end;
  outcome.httpStatus = status;
  return outcome;
}

TEST(MetricsStatusTest, TheEnginesTextsMapToTheirStatus) {
  const struct {
    std::string text;
    const char* label;
    bool measurement, failure;
  } cases[] = {
      {"", "ok", true, false},
      {"Testing...", "testing", false, false},
      {"Get address...", "testing", false, false},
      {"Address changed: 192.0.2.1 -> 192.0.2.2", "address_changed", true, false},
      {IcmpMessage(11010), "timeout", true, true},
      {IcmpMessage(11003), "unreachable", true, true},
      {IcmpMessage(11013), "unreachable", true, true},
      {IcmpMessage(11006), "no_resources", true, true},
      {IcmpMessage(11008), "error", true, true},  // a reply that came back altered
      {IcmpMessage(11050), "error", true, true},
      {WinSockMessage(11001), "dns_error", true, true},
      {WinSockMessage(11004), "dns_error", true, true},
      {WinSockMessage(10061), "connection_refused", true, true},
      {WinSockMessage(10055), "no_resources", true, true},
      {WinSockMessage(10065), "unreachable", true, true},
      {"I/O error.", "io_error", true, true},
      {WebMessage(Web(HttpEnd::HttpError, 404)), "http_error", true, true},
      {WebMessage(Web(HttpEnd::TlsUntrusted)), "tls_error", true, true},
      {WebMessage(Web(HttpEnd::TlsFailed)), "tls_error", true, true},
      {WebMessage(Web(HttpEnd::Timeout)), "timeout", true, true},
      {WebMessage(Web(HttpEnd::HostNotFound)), "dns_error", true, true},
      {WebMessage(Web(HttpEnd::CannotConnect)), "connection_refused", true, true},
      {WebMessage(Web(HttpEnd::Failed)), "error", true, true},
      {"something new", "error", true, true},
  };
  for (const auto& c : cases) {
    const MetricsStatus status = ClassifyStatus(c.text);
    EXPECT_STREQ(StatusLabel(status), c.label) << c.text;
    EXPECT_EQ(IsMeasurement(status), c.measurement) << c.text;
    EXPECT_EQ(IsFailure(status), c.failure) << c.text;
  }
}

TEST(MetricsFormatTest, LabelValuesAreEscapedAndKeptValidUtf8) {
  const struct {
    std::string raw, escaped;
  } cases[] = {
      {"127.0.0.1", "127.0.0.1"},
      {R"(say "hi")", R"(say \"hi\")"},
      {R"(\\server\share)", R"(\\\\server\\share)"},
      {"two\nlines", R"(two\nlines)"},
      {"tab\tand\rreturn", "tab\tand\rreturn"},  // the format escapes nothing else
      {"Zürich ☃ 𝄞", "Zürich ☃ 𝄞"},
      {"caf\xE9", "caf\xEF\xBF\xBD"},                            // Latin-1
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong "/"
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"end\xE2\x82", "end\xEF\xBF\xBD\xEF\xBF\xBD"},            // cut short
      {"\xF4\x90\x80\x80", std::string(4, '?')},                 // above U+10FFFF
  };
  for (const auto& c : cases) {
    std::string expected = c.escaped;
    if (expected == "????") expected = "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";
    EXPECT_EQ(EscapeLabelValue(c.raw), expected) << c.raw;
  }
}

TEST(MetricsFormatTest, NumbersIgnoreACommaLocale) {
  test::CommaLocaleScope comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Problem();
  ASSERT_TRUE(test::DecimalCommaInEffect());
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {1.5, "1.5"},
      {1234.5678, "1234.5678"},
      {0.1, "0.1"},
      {1e-7, "1e-07"},
      {2.5e20, "2.5e+20"},
      {-3.25, "-3.25"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      {std::numeric_limits<double>::infinity(), "+Inf"},
      {-std::numeric_limits<double>::infinity(), "-Inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSampleValue(c.value), c.text) << c.text;
  MetricsBook book;
  book.Record(1, "h", Speeds(ResourceKind::Echo, 0, 0, 1234.5));
  book.RecordQuarterHour("h", 0, 0, 0.25);
  const std::string text = book.Exposition({{"h", ResourceKind::Echo}}, "0.1");
  EXPECT_TRUE(Has(text, R"(tarnwick_speed_kbps{resource="h",kind="host",direction="ping"} 1234.5)"))
      << text;
  EXPECT_TRUE(
      Has(text, R"(tarnwick_quarter_hour_kbps{resource="h",kind="host",direction="ping"} 0.25)"))
      << text;
}

TEST(MetricsBookTest, EachKindShowsItsDirectionsStatusAndCounters) {
  MetricsBook book;
  const std::string share = R"(\\srv\"share"
x)";
  book.Record(1, share, Status(ResourceKind::Drive, "Testing..."));
  book.Record(1, share, Speeds(ResourceKind::Drive, 10.5, 20.25, 0));
  book.Record(2, "/media/cd/big.iso", Speeds(ResourceKind::File, 0, 300, 0));
  book.Record(2, "/media/cd/big.iso", Status(ResourceKind::File, "I/O error."));
  book.Record(3, "127.0.0.1", Speeds(ResourceKind::Echo, 0, 0, 5000));
  book.Record(3, "127.0.0.1", Status(ResourceKind::Echo, "Address changed: a -> b"));
  book.Record(4, "https://example.com/f", Speeds(ResourceKind::Web, 0, 77, 0));
  book.Record(5, "idle", Status(ResourceKind::None, "Testing..."));
  const std::vector<MetricsRow> rows{{share, ResourceKind::Drive},
                                     {"/media/cd/big.iso", ResourceKind::File},
                                     {"127.0.0.1", ResourceKind::Echo},
                                     {"https://example.com/f", ResourceKind::Web},
                                     {"idle", ResourceKind::None}};
  const std::string text = book.Exposition(rows, "0.1");
  const std::string drive = R"(resource="\\\\srv\\\"share\"\nx",kind="drive")";
  const std::vector<std::string> expected{
      "tarnwick_build_info{version=\"0.1\"} 1",
      "tarnwick_speed_kbps{" + drive + ",direction=\"write\"} 10.5",
      "tarnwick_speed_kbps{" + drive + ",direction=\"read\"} 20.25",
      // A failed measurement has speed 0; an address change keeps the last one.
      R"(tarnwick_speed_kbps{resource="/media/cd/big.iso",kind="file",direction="read"} 0)",
      R"(tarnwick_speed_kbps{resource="127.0.0.1",kind="host",direction="ping"} 5000)",
      R"(tarnwick_speed_kbps{resource="https://example.com/f",kind="web",direction="download"} 77)",
      "tarnwick_status{" + drive + ",status=\"ok\"} 1",
      "tarnwick_status{" + drive + ",status=\"testing\"} 0",
      R"(tarnwick_status{resource="/media/cd/big.iso",kind="file",status="io_error"} 1)",
      R"(tarnwick_status{resource="/media/cd/big.iso",kind="file",status="ok"} 0)",
      R"(tarnwick_status{resource="127.0.0.1",kind="host",status="address_changed"} 1)",
      R"(tarnwick_status{resource="idle",kind="none",status="testing"} 1)",
      // "Testing..." is no measurement.
      "tarnwick_measurements_total{" + drive + "} 1",
      "tarnwick_failures_total{" + drive + "} 0",
      R"(tarnwick_measurements_total{resource="/media/cd/big.iso",kind="file"} 2)",
      R"(tarnwick_failures_total{resource="/media/cd/big.iso",kind="file"} 1)",
      R"(tarnwick_measurements_total{resource="127.0.0.1",kind="host"} 2)",
      R"(tarnwick_measurements_total{resource="idle",kind="none"} 0)",
  };
  for (const std::string& line : expected) EXPECT_TRUE(Has(text, line)) << line << "\n" << text;
  // One status line per status and resource, exactly one of them 1.
  const auto statuses = LinesWith(text, "tarnwick_status{" + drive);
  EXPECT_EQ(statuses.size(), AllMetricsStatuses().size());
  EXPECT_EQ(LinesWith(text, "tarnwick_speed_kbps{resource=\"idle\"").size(), 0u);
  EXPECT_EQ(text.back(), '\n');
}

// A share that hangs produces no hand-over; the tick's "No response" must
// still reach the scraper, and the next measurement ends it.
TEST(MetricsBookTest, AHungTransferShowsTimeoutAndSpeedZeroUntilTheNextMeasurement) {
  MetricsBook book;
  const std::vector<MetricsRow> rows{{"/mnt/share", ResourceKind::Drive}};
  const std::string drive = R"(resource="/mnt/share",kind="drive")";
  book.Record(1, "/mnt/share", Speeds(ResourceKind::Drive, 1500, 1900, 0));
  book.RecordNoResponse(1, "/mnt/share", ResourceKind::Drive);
  book.RecordNoResponse(1, "/mnt/share", ResourceKind::Drive);
  std::string text = book.Exposition(rows, "0.1");
  for (const std::string& line : {"tarnwick_status{" + drive + ",status=\"timeout\"} 1",
                                  "tarnwick_speed_kbps{" + drive + ",direction=\"write\"} 0",
                                  "tarnwick_speed_kbps{" + drive + ",direction=\"read\"} 0",
                                  "tarnwick_measurements_total{" + drive + "} 1",
                                  "tarnwick_failures_total{" + drive + "} 0"}) {
    EXPECT_TRUE(Has(text, line)) << line << "\n" << text;
  }
  book.Record(1, "/mnt/share", Speeds(ResourceKind::Drive, 1400, 1800, 0));
  text = book.Exposition(rows, "0.1");
  EXPECT_TRUE(Has(text, "tarnwick_status{" + drive + ",status=\"ok\"} 1")) << text;
  EXPECT_TRUE(Has(text, "tarnwick_speed_kbps{" + drive + ",direction=\"read\"} 1800")) << text;
}

TEST(MetricsBookTest, RenamedMovedAndDeletedRowsLeaveNoSeriesUnderAWrongName) {
  MetricsBook book;
  book.Record(1, "A", Speeds(ResourceKind::Echo, 0, 0, 1));
  book.Record(2, "B", Speeds(ResourceKind::Echo, 0, 0, 2));
  book.Record(2, "B", Speeds(ResourceKind::Echo, 0, 0, 2));
  book.Record(3, "C", Speeds(ResourceKind::Drive, 3, 3, 0));
  const struct {
    const char* what;
    std::vector<MetricsRow> rows;
    std::vector<std::string> present, absent;
  } cases[] = {
      {"as recorded",
       {{"A", ResourceKind::Echo}, {"B", ResourceKind::Echo}, {"C", ResourceKind::Drive}},
       {"resource=\"A\"", "resource=\"B\"", "resource=\"C\""},
       {}},
      // Row 1 deleted: B and C moved up and have not reported there yet.
      {"deleted",
       {{"B", ResourceKind::Echo}, {"C", ResourceKind::Drive}},
       {},
       {"\"A\"", "\"B\"", "\"C\""}},
      {"renamed",
       {{"Z", ResourceKind::Echo}, {"B", ResourceKind::Echo}},
       {"\"B\""},
       {"\"A\"", "\"Z\""}},
      {"kind changed", {{"A", ResourceKind::Web}}, {}, {"\"A\""}},
  };
  for (const auto& c : cases) {
    const std::string text = book.Exposition(c.rows, "0.1");
    for (const auto& label : c.present) EXPECT_NE(text.find(label), std::string::npos) << c.what;
    for (const auto& label : c.absent) EXPECT_EQ(text.find(label), std::string::npos) << c.what;
  }
  // B reports at its new row: a new series whose counter starts afresh.
  book.Record(1, "B", Speeds(ResourceKind::Echo, 0, 0, 4));
  const std::string text = book.Exposition({{"B", ResourceKind::Echo}}, "0.1");
  EXPECT_TRUE(Has(text, R"(tarnwick_measurements_total{resource="B",kind="host"} 1)")) << text;
  EXPECT_TRUE(Has(text, R"(tarnwick_speed_kbps{resource="B",kind="host",direction="ping"} 4)"));
}

TEST(MetricsBookTest, AResourceListedTwiceIsShownOnceAndQuarterHoursFollowTheName) {
  MetricsBook book;
  book.Record(1, "h", Speeds(ResourceKind::Echo, 0, 0, 1));
  book.Record(2, "h", Speeds(ResourceKind::Echo, 0, 0, 2));
  book.Record(3, "d", Speeds(ResourceKind::Drive, 1, 2, 0));
  book.RecordQuarterHour("d", 20, 10, 0);
  book.RecordQuarterHour("gone", 1, 1, 1);
  const std::string text = book.Exposition(
      {{"h", ResourceKind::Echo}, {"h", ResourceKind::Echo}, {"d", ResourceKind::Drive}}, "0.1");
  EXPECT_EQ(LinesWith(text, "tarnwick_speed_kbps{resource=\"h\"").size(), 1u) << text;
  EXPECT_TRUE(Has(text, R"(tarnwick_speed_kbps{resource="h",kind="host",direction="ping"} 1)"));
  EXPECT_TRUE(
      Has(text, R"(tarnwick_quarter_hour_kbps{resource="d",kind="drive",direction="write"} 10)"));
  EXPECT_TRUE(
      Has(text, R"(tarnwick_quarter_hour_kbps{resource="d",kind="drive",direction="read"} 20)"));
  EXPECT_EQ(LinesWith(text, "tarnwick_quarter_hour_kbps").size(), 2u) << text;
  EXPECT_EQ(text.find("gone"), std::string::npos);
}

class RecordingHost final : public ThreadHost {
 public:
  void ShowMeasurement(int row, const DisplayUpdate& update) override { shown.push_back(row); }
  bool TrendEnabled() const override { return true; }
  void AppendTrendRecord(const std::string& name, double, double, double) override {
    trend.push_back(name);
  }
  std::vector<int> shown;
  std::vector<std::string> trend;
};

TEST(MetricsHostTest, EveryHandOverReachesTheHostAndIsCountedUnderTheRowsName) {
  ResourceTable table;
  table.SetRowCount(2);
  table.SetCell(Col::Resource, 1, "127.0.0.1");
  table.SetCell(Col::Kind, 1, "3");
  RecordingHost host;
  MetricsHost metrics(host, table);
  ThreadHost& threads = metrics;
  threads.ShowMeasurement(1, Speeds(ResourceKind::Echo, 0, 0, 42));
  threads.ShowMeasurement(7, Speeds(ResourceKind::Echo, 0, 0, 1));  // a row just deleted
  threads.AppendTrendRecord("127.0.0.1", 0, 0, 40);
  EXPECT_EQ(host.shown, (std::vector<int>{1, 7}));
  EXPECT_EQ(host.trend, (std::vector<std::string>{"127.0.0.1"}));
  EXPECT_TRUE(threads.TrendEnabled());
  const std::string text = metrics.Exposition("0.1");
  EXPECT_TRUE(
      Has(text, R"(tarnwick_speed_kbps{resource="127.0.0.1",kind="host",direction="ping"} 42)"))
      << text;
  EXPECT_TRUE(Has(
      text, R"(tarnwick_quarter_hour_kbps{resource="127.0.0.1",kind="host",direction="ping"} 40)"));
  EXPECT_EQ(LinesWith(text, "tarnwick_measurements_total{").size(), 1u);
}

}  // namespace
}  // namespace tw
