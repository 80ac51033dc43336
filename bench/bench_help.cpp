// Help file figures: reading and parsing a 4 MB help file (the size limit)
// of topics as the real file writes them (a title, context numbers,
// headings, paragraphs with bold, italic and links, list items), and one of
// 160,000 bare topics. Goal: a 4 MB file parsed in under 100 ms.
//
//   build/bin/bench_help [folder]   (default: a new folder under /tmp, removed afterwards)
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "util/HelpFile.h"

namespace {

using namespace tw;

std::string RichTopic(int i) {
  const std::string n = std::to_string(i);
  std::string t = "@topic Topic_" + n + "\n@title The topic number " + n + "\n";
  t += "@context " + std::to_string(1000 + 2 * i) + " " + std::to_string(1001 + 2 * i) + "\n";
  t += "## What it does\n";
  t += "A paragraph of **bold** and //italic// text that runs over\n";
  t += "several lines, with a link to [[Topic_" + std::to_string(i / 2) + "|an earlier topic]]\n";
  t += "and an address such as http://example.invalid/page that stays text.\n\n";
  t += "- A list item with [[Topic_0]]\n- Another item that goes on\n  on the next line.\n\n";
  return t;
}

std::string RichFile(size_t bytes) {
  std::string text;
  for (int i = 0; text.size() + 600 < bytes; ++i) text += RichTopic(i);
  return text;
}

std::string BareFile(int topics) {
  std::string text;
  for (int i = 0; i < topics; ++i) text += "@topic T" + std::to_string(i) + "\n";
  return text;
}

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall time depends on what else the machine runs; the thread's CPU time
// is the parser's own cost.
void Measure(const char* what, const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  size_t topics = 0;
  size_t problems = 0;
  std::vector<double> cpu;
  bench::TimeRuns(what, 11, [&] {
    const double start = ThreadCpuMs();
    const auto file = HelpFile::Load(path);
    cpu.push_back(ThreadCpuMs() - start);
    topics = file ? file->Topics().size() : 0;
    problems = file ? file->Problems().size() : 0;
  });
  std::sort(cpu.begin(), cpu.end());
  std::printf("  %.2f MB, %zu topics, %zu problems; CPU time median %.1f ms, min %.1f ms\n",
              text.size() / 1048576.0, topics, problems, cpu[cpu.size() / 2], cpu.front());
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  bool own = false;
  if (argc > 1) {
    folder = argv[1];
  } else {
    std::string pattern = "/tmp/tarnwick-bench-help-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    folder = pattern;
    own = true;
  }
  Measure("4 MB help file, read and parsed", folder + "/rich.hlp",
          RichFile(HelpFile::kMaxFileBytes));
  Measure("160,000 bare topics, read and parsed", folder + "/bare.hlp", BareFile(160000));
  if (own) std::filesystem::remove_all(folder);
  return 0;
}
