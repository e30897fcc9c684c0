#include "support/run_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "support/temp_home.h"

extern char** environ;

namespace orbisto::test {

ProgramResult run_program(const std::string& binary, const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& env) {
    ProgramResult result;
    TempDir io;
    const std::string out_path = io.file("out");
    const std::string err_path = io.file("err");

    // The program's language follows the locale when the settings file
    // names none: a test runs under a German locale unless it sets one, so
    // that what it expects does not depend on the machine.
    std::vector<std::pair<std::string, std::string>> all = env;
    const auto given = [&](const char* name) {
        for (const auto& [k, v] : env) {
            if (k == name) return true;
        }
        return false;
    };
    if (!given("LC_ALL") && !given("LC_MESSAGES") && !given("LANG")) {
        all.emplace_back("LC_ALL", "");
        all.emplace_back("LC_MESSAGES", "");
        all.emplace_back("LANG", "de_DE.UTF-8");
    }
    std::vector<std::string> env_strings;
    for (char** e = environ; *e; ++e) {
        bool replaced = false;
        for (const auto& [k, v] : all) {
            if (std::strncmp(*e, k.c_str(), k.size()) == 0 && (*e)[k.size()] == '=')
                replaced = true;
        }
        if (!replaced) env_strings.emplace_back(*e);
    }
    for (const auto& [k, v] : all) env_strings.push_back(k + "=" + v);

    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, binary.c_str(), &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return result;
    int ws = 0;
    while (::waitpid(pid, &ws, 0) < 0) {
    }
    result.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
    result.out = read_file(out_path).value_or("");
    result.err = read_file(err_path).value_or("");
    return result;
}

}  // namespace orbisto::test
