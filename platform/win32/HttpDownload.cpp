// Web downloads on Windows: not offered yet. The Linux implementation is
// plain libcurl and would build here too once libcurl is part of the Windows
// build; until then web rows show that no download could be made.
#include "platform/HttpDownload.h"

namespace tw {

namespace {

class NoDownload final : public HttpDownload {
 public:
  std::unique_ptr<HttpSession> Open() override { return nullptr; }
};

}  // namespace

HttpDownload& SystemHttpDownload() {
  static NoDownload none;
  return none;
}

std::unique_ptr<HttpDownload> NewHttpDownloadTrusting(const std::string&) {
  return std::make_unique<NoDownload>();
}

}  // namespace tw
