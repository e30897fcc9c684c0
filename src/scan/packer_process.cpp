#include "scan/packer_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/files.h"
#include "scan/packer_table.h"
#include "scan/scan_entry_rules.h"

extern char** environ;

namespace orbisto {

namespace {

// The full path of the program word: a word with '/' is taken as it
// stands, other words are looked up like the packers.
std::string program_path(const Context& ctx, const std::string& word) {
    if (word.find('/') != std::string::npos) return is_executable_file(word) ? word : std::string();
    std::string path;
    FindPacker(ctx, word, &path);
    return path;
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& w : words) {
        if (!out.empty()) out += ' ';
        out += w;
    }
    return out;
}

// Starts the process; -1 when it cannot be started.
pid_t spawn(const std::string& program, const std::vector<std::string>& argv,
            const std::string& work_dir, bool keep_std_handles) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    bool ok = true;
    for (int fd = 0; fd <= 2 && !keep_std_handles; ++fd) {
        ok = ok && posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                                    fd == 0 ? O_RDONLY : O_WRONLY, 0) == 0;
    }
    ok = ok && posix_spawn_file_actions_addchdir_np(&actions, work_dir.c_str()) == 0;
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0 &&
         posix_spawnattr_setsigdefault(&attr, &defaults) == 0 &&
         posix_spawnattr_setpgroup(&attr, 0) == 0 &&
         posix_spawnattr_setflags(
             &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    std::vector<char*> cargv;
    for (const auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    pid_t pid = -1;
    if (ok && posix_spawn(&pid, program.c_str(), &actions, &attr, cargv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return ok ? pid : -1;
}

// Free bytes and free entries of the file system holding `dir`.
struct Room {
    std::uint64_t bytes = 0;
    std::uint64_t entries = 0;
    bool known = false;
};
Room room_of(const std::string& dir) {
    struct statvfs v {};
    if (::statvfs(dir.c_str(), &v) != 0) return {};
    return {static_cast<std::uint64_t>(v.f_bavail) * v.f_frsize,
            static_cast<std::uint64_t>(v.f_favail), true};
}

// True when the run has written more than it may: more bytes than
// `max_output`, more than nine tenths of the space that was free, or an
// implausible number of new entries. The measure is the file system's free
// room, which costs nothing however large the unpacked tree grows.
bool grown_too_large(const Room& before, const std::string& dir, std::uint64_t max_output) {
    if (!before.known) return false;
    const Room now = room_of(dir);
    if (!now.known) return false;
    const std::uint64_t written = before.bytes > now.bytes ? before.bytes - now.bytes : 0;
    const std::uint64_t made = before.entries > now.entries ? before.entries - now.entries : 0;
    return written > max_output || written > before.bytes / 10 * 9 || made > kMaxUnpackedEntries;
}

int exit_code_of(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

std::vector<std::string> SplitCommandWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (in_word) words.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(std::move(word));
    return words;
}

std::vector<std::string> BuildCommandArgs(std::string_view command,
                                          const std::vector<std::string>& args) {
    std::vector<std::string> words = SplitCommandWords(command);
    size_t next = 0;
    for (auto& w : words) {
        std::string out;
        size_t from = 0;
        for (size_t pos; (pos = w.find("%s", from)) != std::string::npos; from = pos + 2) {
            out.append(w, from, pos - from);
            if (next < args.size()) out += args[next];
            ++next;
        }
        out.append(w, from, std::string::npos);
        w = std::move(out);
    }
    return words;
}

PackerResult RunPacker(Context& ctx, const PackerCall& call) {
    PackerResult result;
    std::vector<std::string> argv = BuildCommandArgs(call.command, call.args);
    if (argv.empty() || argv[0].empty()) return result;
    const std::string program = program_path(ctx, argv[0]);
    const std::string shown = joined(argv);
    ctx.log.line(
        FillIn(call.log_label, {program.empty() ? shown : program + shown.substr(argv[0].size())}));
    if (program.empty() || !is_directory(call.work_dir)) return result;

    const Room before = call.max_output ? room_of(call.work_dir) : Room{};
    const pid_t pid = spawn(program, argv, call.work_dir, call.keep_std_handles);
    if (pid <= 0) return result;
    // Children started later inherit the priority and the file size cap.
    if (ctx.settings.options.Idle) ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), 19);
    if (call.max_output) {
        const rlimit cap{call.max_output, call.max_output};
        ::prlimit(pid, RLIMIT_FSIZE, &cap, nullptr);
    }
    if (ctx.settings.options.Echtzeit && !call.shown_path.empty()) {
        ctx.frontend.status(0, call.shown_path);
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const long long limit = ctx.settings.options.TimeOut;
    int status = 0;
    bool ended = false;
    // A descriptor that becomes readable when the process ends lets the
    // wait return at once instead of at the next poll; without one (older
    // kernels) the state is polled every 10 ms.
    struct Fd {
        int fd;
        ~Fd() {
            if (fd >= 0) ::close(fd);
        }
    } const exit{static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))};
    while (!ended) {
        ctx.frontend.pump();
        for (int i = 0; i < 10 && !ended; ++i) {
            const pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid || (r < 0 && errno != EINTR)) {
                ended = true;
            } else if (exit.fd >= 0) {
                pollfd p{exit.fd, POLLIN, 0};
                ::poll(&p, 1, 100);
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (ended) break;
        const long long seconds =
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
        const bool aborted = ctx.frontend.abort_requested();
        const bool too_large =
            call.max_output && grown_too_large(before, call.work_dir, call.max_output);
        if ((seconds > limit && !call.no_time_limit) || aborted || too_large) {
            ::kill(-pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            ctx.log.always(FillIn(call.kill_label, {shown}));
            result.run = CommandRun::TimedOut;
            result.aborted = aborted;
            result.too_large = too_large;
            if (too_large) {
                ctx.log.always(
                    FillIn(ctx.tr("entpacken: %s zu groß\r\n", "unpacking: %s too large\r\n"),
                           {call.shown_path.empty() ? shown : call.shown_path}));
            }
            return result;
        }
    }
    // Whatever the program left running in its group must not go on
    // writing into the directory that is walked next.
    ::kill(-pid, SIGKILL);
    result.run = CommandRun::Finished;
    result.exit_code = exit_code_of(status);
    return result;
}

std::vector<std::string> PackerArgs(ArgForm form, const std::string& target,
                                    const std::string& archive) {
    switch (form) {
        case ArgForm::TargetArchive:
            return {target, archive};
        case ArgForm::ArchiveAndStem: {
            const std::string name = file_part(archive);
            const std::size_t dot = name.rfind('.');
            return {archive, dot == 0 || dot == std::string::npos ? name : name.substr(0, dot)};
        }
        case ArgForm::Archive:
            break;
    }
    return {archive};
}

PackerResult RunUserCommandIn(Context& ctx, UserCommand kind, const std::string& path,
                              const std::string& work_dir, std::uint64_t max_output) {
    const PackerSettings& p = ctx.settings.packer;
    PackerCall call;
    call.max_output = max_output;
    call.args = {path};
    call.work_dir = work_dir;
    call.shown_path = path;
    switch (kind) {
        case UserCommand::Own:
            if (!extension_in_list(p.OwnExt, file_part(path))) return {};
            call.command = p.OwnCmd;
            break;
        case UserCommand::Info: {
            if (!extension_in_list(p.InfoExt, file_part(path))) return {};
            call.command = p.InfoCmd;
            call.log_label = "\r\nuser info: %s\r\n";
            // A file left by the command for an earlier file must not be
            // read as this file's information.
            if (auto old = find_case_insensitive(work_dir, kInfoFileName)) ::unlink(old->c_str());
            break;
        }
        case UserCommand::Dir:
            call.command = p.DirCmd;
            call.log_label = "\r\ndir: %s\r\n";
            call.kill_label = "dir: %s abgebrochen\r\n";
            break;
    }
    if (SplitCommandWords(call.command).empty()) return {};
    return RunPacker(ctx, call);
}

CommandRun RunUserCommand(Context& ctx, UserCommand kind, const std::string& path) {
    return RunUserCommandIn(ctx, kind, path, ctx.paths.temp_dir).run;
}

}  // namespace orbisto
