// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace tw::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a name inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace tw::test

namespace tw::test {

// The whole content of a file, or "" when it cannot be read.
std::string ReadAll(const std::string& path);

// Points TARNWICK_HOME and TARNWICK_STATE_DIR at a fresh folder of this test
// process (once per process; removed at exit), so that window tests never
// read a parameters file another test saved.
void IsolateProgramFolder();

}  // namespace tw::test
