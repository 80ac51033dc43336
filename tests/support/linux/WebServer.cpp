#include "support/WebServer.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

extern char** environ;

namespace tw::test {

namespace {

std::string ScriptPath() {
  const char* source = std::getenv("TARNWICK_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/tests/support/web_server.py";
}

// The first line the server prints (its port), waiting up to 10 s.
int ReadPort(int fd) {
  std::string line;
  char c = 0;
  pollfd p{fd, POLLIN, 0};
  while (line.size() < 16 && poll(&p, 1, 10000) == 1 && read(fd, &c, 1) == 1 && c != '\n')
    line += c;
  return std::atoi(line.c_str());
}

}  // namespace

bool WebServer::Available() {
  return std::system("python3 -c pass >/dev/null 2>&1") == 0 &&
         std::filesystem::exists(ScriptPath());
}

WebServer::WebServer(const Options& options) : https_(!options.certFile.empty()) {
  std::vector<std::string> args;
  if (!options.netns.empty()) args = {"ip", "netns", "exec", options.netns};
  args.insert(args.end(), {"python3", ScriptPath()});
  if (https_) args.insert(args.end(), {"--cert", options.certFile, "--key", options.keyFile});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (pid_ > 0) port_ = ReadPort(out[0]);
  close(out[0]);
}

WebServer::~WebServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::string WebServer::Url(const std::string& path) const {
  return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

bool MakeSelfSignedCertificate(const std::string& folder) {
  const std::string command =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
      " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
      folder + "/key.pem' -out '" + folder + "/cert.pem' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace tw::test
