// Paths of the committed test fixtures.
#pragma once

#include <string>

namespace orbisto::test {

// A fixture of the file-information readers (tests/fixtures/fileinfo).
inline std::string info_fixture(const std::string& name) {
    return std::string(ORBISTO_SOURCE_DIR) + "/tests/fixtures/fileinfo/" + name;
}

}  // namespace orbisto::test
