#include "app/ProgramTrendFiles.h"

#include <new>

#include "platform/ProgramFolder.h"
#include "util/DateTime.h"

namespace tw {

std::unique_ptr<TTrendFile> OpenProgramTrendFiles(Clock& clock, std::string& trouble) {
  return OpenTrendFilesNamed(ProgramFile("MERLISK.D"), ProgramFile("MERLISK.ND"), clock, trouble);
}

std::unique_ptr<TTrendFile> OpenTrendFilesNamed(const std::string& data, const std::string& index,
                                                Clock& clock, std::string& trouble) {
  try {
    auto files = std::make_unique<TTrendFile>(data, index, clock);
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
