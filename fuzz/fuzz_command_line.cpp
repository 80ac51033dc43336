// libFuzzer target for the splitting of a run-program action's command line
// into the program and its arguments. Any text must split without a crash,
// and the words, written back with every word quoted (inner quotes
// doubled), must split into the very same words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/CommandLine.h"

namespace {

std::string Quoted(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += '"';
    for (char c : word) {
      line += c;
      if (c == '"') line += '"';
    }
    line += '"';
  }
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string line(reinterpret_cast<const char*>(bytes), size);
  const std::vector<std::string> words = tw::SplitCommandLine(line);
  size_t characters = 0;
  for (const std::string& word : words) characters += word.size();
  if (characters > size) std::abort();
  if (tw::SplitCommandLine(Quoted(words)) != words) std::abort();
  return 0;
}
