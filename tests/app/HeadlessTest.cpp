// `tarnwick --headless` as a service manager runs it: the real program, no
// display, a parameters file in a folder of its own, ICMP echo of
// 127.0.0.1, and signals sent to it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "engine/ResourceKinds.h"
#include "monitor/Parameters.h"
#include "support/CommaLocale.h"
#include "support/LoopbackHttp.h"
#include "support/PrometheusServer.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "trend/TrendFile.h"
#include "util/DateTime.h"

namespace tw {
namespace {

using Clock = std::chrono::steady_clock;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An echo row of the parameters file, measured every 200 ms.
struct Row {
  Row(const char* host, std::string command = {}) : address(host), maxCommand(std::move(command)) {}
  std::string address;
  std::string maxCommand;  // run when the speed is at least 0 for 2 s
  bool broken = false;     // echoes of 0 bytes, which fail at once
};

void WriteParametersFile(const std::string& folder, const std::vector<Row>& rows,
                         bool dialUp = false) {
  ResourceTable table;
  table.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    table.SetNewRowDefaults(row);
    table.SetCell(Col::Resource, row, rows[i].address);
    table.SetCell(Col::Kind, row, KindText(ResourceKind::Echo));
    table.SetCell(Col::ProcessDelay, row, "200");
    table.SetCell(Col::Timeout, row, "1000");
    if (rows[i].broken) {
      table.SetCell(Col::PacketSize, row, "0");
      table.SetCell(Col::AutoSize, row, "0");
    }
    if (!rows[i].maxCommand.empty()) {
      table.SetCell(Col::PerformMaxSpeed, row, "1");
      table.SetCell(Col::MaxSpeed, row, "0");
      table.SetCell(Col::MaxTimeout, row, "2");
      table.SetCell(Col::MaxAction, row, "1");
      table.SetCell(Col::MaxCommand, row, rows[i].maxCommand);
    }
  }
  WindowParameters params;
  params.pingObjects = false;  // saved as stopped: headless mode measures anyway
  params.dialUpEnabled = dialUp;
  std::string error;
  ASSERT_TRUE(SaveParameters(folder + "/" + kParametersFileName, table, params, &error)) << error;
}

// The program started with --headless on `folder`, without DISPLAY.
class Headless {
 public:
  explicit Headless(const std::string& folder, const QStringList& extraEnv = {},
                    const QStringList& extraArgs = {}) {
    test::EnsureQtApp();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "TARNWICK_HOME"}) env.remove(name);
    for (const QString& pair : extraEnv) {
      env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    }
    process_.setProcessEnvironment(env);
    process_.setProgram(QCoreApplication::applicationDirPath() + "/tarnwick");
    process_.setArguments(
        QStringList{"--headless", "--config-dir", QString::fromStdString(folder)} + extraArgs);
    process_.start();
    process_.waitForStarted(5000);
  }
  ~Headless() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }

  // Waits until standard error holds `text`.
  bool WaitForLog(const std::string& text, int timeoutMs = 10000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Log().find(text) == std::string::npos) {
      if (Clock::now() > end || process_.state() == QProcess::NotRunning) return false;
      process_.waitForReadyRead(50);
    }
    return true;
  }
  // Sends `signal` and waits for the end; the time it took.
  std::chrono::milliseconds SignalAndWait(int number) {
    const auto start = Clock::now();
    ::kill(static_cast<pid_t>(process_.processId()), number);
    process_.waitForFinished(10000);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  }
  void Signal(int number) { ::kill(static_cast<pid_t>(process_.processId()), number); }
  bool Finish(int timeoutMs) { return process_.waitForFinished(timeoutMs); }
  bool ExitedNormally() const {
    return process_.state() == QProcess::NotRunning &&
           process_.exitStatus() == QProcess::NormalExit;
  }
  int ExitCode() const { return process_.exitCode(); }
  const std::string& Log() {
    log_ += process_.readAllStandardError().toStdString();
    return log_;
  }

 private:
  QProcess process_;
  std::string log_;
};

// Every line of the log is one event with the program's prefix.
void ExpectJournalLines(const std::string& log) {
  size_t start = 0;
  while (start < log.size()) {
    const size_t end = log.find('\n', start);
    ASSERT_NE(end, std::string::npos) << "unterminated line in:\n" << log;
    const std::string line = log.substr(start, end - start);
    EXPECT_EQ(line.rfind("tarnwick: ", 0), 0u) << line;
    EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
    start = end + 1;
  }
}

TEST(Headless, MeasuresWithoutDisplayAndEndsCleanlyOnSigterm) {
  test::TempDir dir;
  WriteParametersFile(dir.Path(), {{"127.0.0.1"}});
  const std::string ini = Slurp(dir.File(kParametersFileName));
  Headless run(dir.Path());
  ASSERT_TRUE(run.WaitForLog("started: 1 resource")) << run.Log();
  ASSERT_TRUE(run.WaitForLog("\"127.0.0.1\": measures: echo ")) << run.Log();
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("MERLISK.D")));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("MERLISK.ND")));
  const auto took = run.SignalAndWait(SIGTERM);
  ASSERT_TRUE(run.ExitedNormally()) << run.Log();
  EXPECT_EQ(run.ExitCode(), 0) << run.Log();
  EXPECT_LT(took.count(), 2500) << run.Log();
  RecordProperty("sigterm_to_exit_ms", static_cast<int>(took.count()));
  std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took.count()));
  const std::string& log = run.Log();
  EXPECT_NE(log.find("tarnwick: SIGTERM: stopping\n"), std::string::npos) << log;
  EXPECT_NE(log.find("tarnwick: stopped: threads ended and trend files closed in "),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("measuring although the file saved sampling as stopped"), std::string::npos);
  ExpectJournalLines(log);
  EXPECT_EQ(Slurp(dir.File(kParametersFileName)), ini) << "the parameters file was written";
  EXPECT_FALSE(std::filesystem::exists(dir.File(std::string(kParametersFileName) + ".bad")));
}

TEST(Headless, SigintEndsLikeSigterm) {
  test::TempDir dir;
  WriteParametersFile(dir.Path(), {{"127.0.0.1"}});
  Headless run(dir.Path());
  ASSERT_TRUE(run.WaitForLog("measures: echo")) << run.Log();
  const auto took = run.SignalAndWait(SIGINT);
  ASSERT_TRUE(run.ExitedNormally()) << run.Log();
  EXPECT_EQ(run.ExitCode(), 0);
  EXPECT_LT(took.count(), 2500);
  EXPECT_NE(run.Log().find("tarnwick: SIGINT: stopping\n"), std::string::npos) << run.Log();
}

TEST(Headless, SighupReadsTheChangedFileAndAFailedReloadKeepsTheRunningSet) {
  test::TempDir dir;
  WriteParametersFile(dir.Path(), {{"127.0.0.1"}});
  Headless run(dir.Path());
  ASSERT_TRUE(run.WaitForLog("\"127.0.0.1\": measures:")) << run.Log();
  WriteParametersFile(dir.Path(), {{"127.0.0.1"}, {"127.0.0.2"}});
  const std::string ini = Slurp(dir.File(kParametersFileName));
  run.Signal(SIGHUP);
  ASSERT_TRUE(run.WaitForLog("reloaded: 2 resources")) << run.Log();
  ASSERT_TRUE(run.WaitForLog("\"127.0.0.2\": measures: echo ")) << run.Log();
  // A damaged file: the two keep running.
  { std::ofstream(dir.File(kParametersFileName), std::ios::trunc) << "[Main]\r\nSign=other\r\n"; }
  run.Signal(SIGHUP);
  ASSERT_TRUE(run.WaitForLog("reload failed, cannot load the parameters file")) << run.Log();
  EXPECT_NE(run.Log().find("; the 2 resources running go on unchanged"), std::string::npos);
  EXPECT_EQ(Slurp(dir.File(kParametersFileName)), "[Main]\r\nSign=other\r\n");
  { std::ofstream(dir.File(kParametersFileName), std::ios::trunc | std::ios::binary) << ini; }
  run.SignalAndWait(SIGTERM);
  EXPECT_EQ(run.ExitCode(), 0) << run.Log();
  EXPECT_EQ(Slurp(dir.File(kParametersFileName)), ini) << "the parameters file was written";
  ExpectJournalLines(run.Log());
}

TEST(Headless, AFileThatCannotBeLoadedEndsWithTheReasonAndMeasuresNothing) {
  const struct {
    std::string content;  // empty: no file at all
    std::string reason;
  } cases[] = {
      {"", "it does not exist"},
      {"[Main]\r\nSign=Something else\r\n",
       "it is not a parameters file (no \"Sign=Network speed\" in [Main])"},
      {"[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=-3\r\n",
       "its resource count ([Objects] Number) is damaged"},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    if (!c.content.empty()) std::ofstream(dir.File(kParametersFileName)) << c.content;
    Headless run(dir.Path());
    ASSERT_TRUE(run.Finish(10000)) << c.reason;
    EXPECT_EQ(run.ExitCode(), 2) << c.reason;
    const std::string path = dir.File(kParametersFileName);
    EXPECT_EQ(run.Log(), "tarnwick: cannot load the parameters file \"" + path + "\": " + c.reason +
                             "; nothing is measured\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("MERLISK.D"))) << c.reason;
    EXPECT_FALSE(std::filesystem::exists(dir.File("MERLISK.ND"))) << c.reason;
    if (!c.content.empty()) {
      EXPECT_EQ(Slurp(path), c.content) << "a damaged file was touched";
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              c.content.empty() ? 0 : 1)
        << c.reason;
  }
}

TEST(Headless, ASpeedEventRunsItsProgramAndTheDialUpKeeperIsLeftOut) {
  test::TempDir dir;
  const std::string mark = dir.File("event-fired");
  WriteParametersFile(dir.Path(), {{"127.0.0.1", "touch " + mark}}, true);
  Headless run(dir.Path());
  ASSERT_TRUE(run.WaitForLog("event of \"127.0.0.1\": started \"touch " + mark + "\""))
      << run.Log();
  const auto end = Clock::now() + std::chrono::seconds(5);
  while (!std::filesystem::exists(mark) && Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(std::filesystem::exists(mark));
  run.SignalAndWait(SIGTERM);
  EXPECT_EQ(run.ExitCode(), 0);
  const std::string& log = run.Log();
  const std::string dialUp = "the dial-up keeper needs a desktop and is left out in headless mode";
  EXPECT_NE(log.find(dialUp), std::string::npos) << log;
  EXPECT_EQ(log.find(dialUp), log.rfind(dialUp)) << "said more than once";
}

TEST(Headless, ARowErrorIsLoggedOnceWhileItLastsAndProgressIsNotLogged) {
  test::TempDir dir;
  Row broken("127.0.0.1");
  broken.broken = true;
  WriteParametersFile(dir.Path(), {broken});
  Headless run(dir.Path());
  ASSERT_TRUE(run.WaitForLog("\"127.0.0.1\": Hrdwr.Error\n")) << run.Log();
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // six more cycles
  run.SignalAndWait(SIGTERM);
  const std::string& log = run.Log();
  EXPECT_EQ(log.find("Hrdwr.Error"), log.rfind("Hrdwr.Error")) << log;
  EXPECT_EQ(log.find("Testing..."), std::string::npos) << log;
  EXPECT_EQ(log.find("Get address..."), std::string::npos) << log;
}

std::string FakeTimeLibrary() {
  for (const char* path : {"/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1",
                           "/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1",
                           "/usr/lib/faketime/libfaketime.so.1"}) {
    if (std::filesystem::exists(path)) return path;
  }
  return {};
}

// The wall clock is set to three seconds before a quarter hour (libfaketime;
// the monotonic clock stays real), so that the quarter-hour record is due
// at once; numbers are written with a decimal comma in that locale.
TEST(Headless, QuarterHourRecordsReachTheTrendFilesIntactInACommaLocale) {
  const std::string fakeTime = FakeTimeLibrary();
  if (fakeTime.empty()) GTEST_SKIP() << "libfaketime is not installed (Debian package faketime)";
  std::string problem;
  const std::string locale = test::PrepareCommaLocale(problem);
  if (locale.empty()) GTEST_SKIP() << problem;
  test::TempDir dir;
  WriteParametersFile(dir.Path(), {{"127.0.0.1"}});
  QStringList env{"LD_PRELOAD=" + QString::fromStdString(fakeTime), "FAKETIME=@2026-03-10 10:14:57",
                  "FAKETIME_DONT_FAKE_MONOTONIC=1", "TZ=UTC",
                  "LC_ALL=" + QString::fromStdString(locale)};
  if (const char* path = std::getenv("LOCPATH")) env << "LOCPATH=" + QString(path);
  Headless run(dir.Path(), env);
  ASSERT_TRUE(run.WaitForLog("\"127.0.0.1\": measures: echo ")) << run.Log();
  const std::string data = dir.File("MERLISK.D");
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (std::filesystem::file_size(data) < 12 + 288 && Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // Mid-measurement: the record is there, the threads still run.
  const auto took = run.SignalAndWait(SIGTERM);
  EXPECT_EQ(run.ExitCode(), 0) << run.Log();
  EXPECT_LT(took.count(), 2500);
  const std::string& log = run.Log();
  EXPECT_TRUE(std::regex_search(log, std::regex("measures: echo [0-9]+\\.[0-9]{2} Kbps\n"))) << log;
  TTrendFile files(data, dir.File("MERLISK.ND"));
  EXPECT_EQ(files.TroubleText(), "");
  TrendValues values;
  ASSERT_TRUE(files.FindRecord("127.0.0.1", EncodeDateTime({2026, 3, 10, 10, 15, 0, 0}), values))
      << "no quarter-hour record; log:\n"
      << log;
  EXPECT_GT(values.ping, 0);
  EXPECT_EQ(files.IndexEntryCount(), 1u);
}

// Three services on one machine, each with its folder and metrics port,
// scraped by one real Prometheus and asked for together; a fourth told a
// port that another holds ends before measuring anything.
TEST(Headless, ThreeServicesAreScrapedByOnePrometheusAndQueriedTogether) {
  if (const std::string missing = test::PrometheusServer::Missing(); !missing.empty()) {
    GTEST_SKIP() << missing;
  }
  std::vector<std::unique_ptr<test::TempDir>> folders;
  std::vector<std::unique_ptr<Headless>> services;
  std::vector<std::string> targets;
  for (int i = 0; i < 3; ++i) {
    folders.push_back(std::make_unique<test::TempDir>());
    WriteParametersFile(folders.back()->Path(), {Row("127.0.0.1")});
    const int port = test::FreeLoopbackPort();
    targets.push_back("127.0.0.1:" + std::to_string(port));
    services.push_back(std::make_unique<Headless>(
        folders.back()->Path(), QStringList{},
        QStringList{"--metrics-listen", QString::fromStdString(targets.back())}));
    ASSERT_TRUE(services.back()->WaitForLog("metrics at http://" + targets.back() + "/metrics"))
        << services.back()->Log();
  }

  test::TempDir taken;
  WriteParametersFile(taken.Path(), {Row("127.0.0.1")});
  Headless late(taken.Path(), {}, {"--metrics-listen", QString::fromStdString(targets[0])});
  ASSERT_TRUE(late.Finish(10000));
  EXPECT_EQ(late.ExitCode(), 3) << late.Log();
  EXPECT_EQ(late.Log().find("started"), std::string::npos) << late.Log();
  EXPECT_FALSE(std::filesystem::exists(taken.File("MERLISK.D"))) << "nothing was measured";

  test::PrometheusServer prometheus(targets);
  ASSERT_TRUE(prometheus.Ok()) << prometheus.Log();
  const std::string query = "count(tarnwick_speed_kbps{resource=\"127.0.0.1\"} > 0)";
  EXPECT_TRUE(prometheus.WaitForValueAbove(query, 2.5, 60000))
      << "services with a speed: "
      << (prometheus.Query(query).empty() ? 0 : prometheus.Query(query)[0]) << "\n"
      << prometheus.Log();
  for (auto& service : services) {
    EXPECT_LT(service->SignalAndWait(SIGTERM), std::chrono::milliseconds(2500));
    EXPECT_TRUE(service->ExitedNormally());
    EXPECT_EQ(service->ExitCode(), 0) << service->Log();
  }
}

// One program per folder: a second service for the folder ends at once, and
// a window started for it is told that the service there has no window.
TEST(Headless, OneProgramPerFolderAndAWindowStartIsToldTheServiceHasNoWindow) {
  test::TempDir dir;
  WriteParametersFile(dir.Path(), {Row("127.0.0.1")});
  Headless first(dir.Path());
  ASSERT_TRUE(first.WaitForLog("started")) << first.Log();

  Headless second(dir.Path());
  ASSERT_TRUE(second.Finish(5000)) << "a second service for the folder must not run";
  EXPECT_EQ(second.ExitCode(), 1);
  EXPECT_NE(second.Log().find("another Tarnwick has"), std::string::npos) << second.Log();
  EXPECT_EQ(second.Log().find("started"), std::string::npos) << second.Log();

  if (std::getenv("DISPLAY") != nullptr) {
    QProcess window;
    window.setProgram(QCoreApplication::applicationDirPath() + "/tarnwick");
    window.setArguments({"--config-dir", QString::fromStdString(dir.Path())});
    window.start();
    ASSERT_TRUE(window.waitForFinished(5000)) << "the window start must end, not wait";
    EXPECT_EQ(window.exitCode(), 1);
    EXPECT_NE(window.readAllStandardError().toStdString().find("a headless Tarnwick measures"),
              std::string::npos);
  }
  EXPECT_LT(first.SignalAndWait(SIGTERM), std::chrono::milliseconds(2500));
  EXPECT_EQ(first.ExitCode(), 0) << first.Log();
}

}  // namespace
}  // namespace tw
