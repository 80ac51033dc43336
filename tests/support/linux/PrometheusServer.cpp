#include "support/PrometheusServer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "support/LoopbackHttp.h"

extern char** environ;

namespace tw::test {

namespace {

bool WaitUntil(int timeoutMs, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return done();
}

std::string Configuration(const std::vector<std::string>& targets) {
  std::string text =
      "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
      "scrape_configs:\n  - job_name: tarnwick\n    static_configs:\n      - targets:\n";
  for (const std::string& target : targets) text += "          - \"" + target + "\"\n";
  return text;
}

// The numbers in "value":[<time>,"<number>"] pairs of an API answer.
std::vector<double> SampleValues(const std::string& json) {
  std::vector<double> values;
  const std::string key = "\"value\":[";
  for (size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1)) {
    const size_t quote = json.find('"', json.find(',', at));
    if (quote == std::string::npos) break;
    values.push_back(std::strtod(json.c_str() + quote + 1, nullptr));
  }
  return values;
}

}  // namespace

std::string PrometheusServer::Missing() {
  if (std::system("prometheus --version >/dev/null 2>&1") != 0)
    return "the prometheus server (Debian package prometheus) is not installed";
  return {};
}

PrometheusServer::PrometheusServer(const std::vector<std::string>& targets) {
  if (!Missing().empty()) return;
  std::ofstream(dir_.File("prometheus.yml")) << Configuration(targets);
  port_ = FreeLoopbackPort();
  std::vector<std::string> args{"prometheus", "--config.file=" + dir_.File("prometheus.yml"),
                                "--storage.tsdb.path=" + dir_.File("data"),
                                "--web.listen-address=127.0.0.1:" + std::to_string(port_),
                                "--log.level=warn"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, dir_.File("log").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  if (pid_ <= 0) return;
  bool ended = false;
  WaitUntil(60000, [&] {
    ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
    ready_ = !ended && LoopbackHttp("127.0.0.1", port_, "GET", "/-/ready", 2000).status == 200;
    return ended || ready_;
  });
  if (ended) pid_ = -1;
}

PrometheusServer::~PrometheusServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  const bool ended = WaitUntil(10000, [this] { return waitpid(pid_, nullptr, WNOHANG) == pid_; });
  if (!ended) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::vector<double> PrometheusServer::Query(const std::string& promql) const {
  const HttpReply reply =
      LoopbackHttp("127.0.0.1", port_, "GET", "/api/v1/query?query=" + PercentEncoded(promql));
  if (reply.status != 200 || reply.body.find("\"status\":\"success\"") == std::string::npos)
    return {};
  return SampleValues(reply.body);
}

bool PrometheusServer::WaitForValueAbove(const std::string& promql, double floor,
                                         int timeoutMs) const {
  return WaitUntil(timeoutMs, [&] {
    for (const double value : Query(promql)) {
      if (value > floor) return true;
    }
    return false;
  });
}

std::string PrometheusServer::Log() const {
  return ReadAll(dir_.File("log"));
}

}  // namespace tw::test
