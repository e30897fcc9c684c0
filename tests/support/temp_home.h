// A temporary directory per test, removed with everything below it.
#pragma once

#include <string>

namespace orbisto::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes a file below the directory (creating no parents) and returns its path.
    std::string write(const std::string& name, const std::string& content) const;

  private:
    std::string path_;
};

}  // namespace orbisto::test
