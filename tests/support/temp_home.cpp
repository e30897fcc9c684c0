#include "support/temp_home.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/files.h"

namespace orbisto::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/orbisto-test-XXXXXX";
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir() {
    remove_tree(path_);
}

std::string TempDir::file(const std::string& name) const {
    return path_ + "/" + name;
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const std::string p = file(name);
    std::ofstream out(p, std::ios::binary);
    out << content;
    return p;
}

}  // namespace orbisto::test
