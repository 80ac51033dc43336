// libFuzzer target for the help-file reader: any bytes as "TARNWICK.HLP",
// read from a file as the help window reads it. Every topic is then shown as
// the help window would (contents, every topic and pop-up, every link
// followed). Reading must never crash or hang, every topic must be found by
// its own name, and the text of a topic must never leave its markup open.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzFiles.h"
#include "util/HelpFile.h"
#include "util/Text.h"

namespace {

using namespace tw;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Everything of the file's text is escaped, so the only angle brackets of
// the HTML are those of its own tags, in pairs.
void CheckHtml(const std::string& html) {
  Require(std::count(html.begin(), html.end(), '<') == std::count(html.begin(), html.end(), '>'));
}

void ShowTopic(const HelpFile& file, const HelpTopic& topic) {
  const HelpTopic* found = file.FindTopic(topic.name);
  Require(found != nullptr && AsciiUpper(found->name) == AsciiUpper(topic.name));
  CheckHtml(HelpTopicToHtml(topic));
  for (int context : topic.contexts) {
    const HelpTopic* popUp = file.FindContext(context);
    Require(popUp != nullptr);
    CheckHtml(HelpTopicToHtml(*popUp, false));
  }
  for (const HelpBlock& block : topic.blocks) {
    for (const HelpSpan& span : block.spans) {
      if (!span.link.empty()) file.FindTopic(span.link);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string path = fuzz::Folder({"TARNWICK.HLP"}) + "/TARNWICK.HLP";
  fuzz::WriteFile(path, bytes, size);
  const auto file = HelpFile::Load(path);
  Require(file.has_value() == (size <= HelpFile::kMaxFileBytes));
  if (!file) return 0;
  if (file->ContentsTopic() != nullptr) Require(file->ContentsTopic() == &file->Topics().front());
  for (const HelpTopic& topic : file->Topics()) ShowTopic(*file, topic);
  return 0;
}
