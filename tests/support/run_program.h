// Runs the orbisto binary with arguments and environment additions and
// captures its exit status, standard output and standard error.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orbisto::test {

struct ProgramResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

ProgramResult run_program(const std::string& binary, const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& env = {});

}  // namespace orbisto::test
