#include "app/ProgramTrendFiles.h"

#include <new>

#include "platform/ProgramFolder.h"
#include "util/DateTime.h"

namespace tw {

std::unique_ptr<TTrendFile> OpenProgramTrendFiles(Clock& clock, std::string& trouble) {
  try {
    auto files =
        std::make_unique<TTrendFile>(ProgramFile("MERLISK.D"), ProgramFile("MERLISK.ND"), clock);
    trouble = files->TroubleText();
    return files;
  } catch (const std::bad_alloc&) {
    trouble = kTrendMemoryTrouble;
    return nullptr;
  }
}

bool AppendTrendRecordNow(TTrendFile& files, Clock& clock, const std::string& name, double read,
                          double write, double ping) {
  return files.AppendRecord(name, read, write, ping, EncodeDateTime(clock.LocalNow()));
}

}  // namespace tw
