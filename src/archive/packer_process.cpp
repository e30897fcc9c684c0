#include "archive/packer_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "archive/archive_context.h"
#include "archive/packer_table.h"
#include "platform/files.h"
#include "platform/write_confinement.h"
#include "text/name_rules.h"

extern char** environ;

namespace orbisto {

namespace {

// The full path of the program word: a word with '/' is taken as it
// stands, other words are looked up like the packers.
std::string program_path(const ArchiveContext& ctx, const std::string& word) {
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

// What the child sets up for itself before the program starts.
struct ChildSetup {
    bool keep_std_handles = false;
    bool idle = false;
    std::uint64_t max_output = 0;            // RLIMIT_FSIZE; 0 = none
    const WriteConfinement* wall = nullptr;  // null = unconfined
};

// The environment of the child: ours, with TMPDIR pointing into the work
// directory, the only place it may write.
std::vector<std::string> child_environment(const std::string& work_dir) {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "TMPDIR=", 7) != 0) env.emplace_back(*e);
    }
    env.push_back("TMPDIR=" + work_dir);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> out;
    for (auto& w : words) out.push_back(w.data());
    out.push_back(nullptr);
    return out;
}

// Hands errno to the parent through `report` and ends the child; a failed
// confinement is handed over negated, so that the parent can say why the
// program did not run.
[[noreturn]] void child_fail(int report, bool confinement = false) {
    const int e = errno > 0 ? errno : EPERM;
    const int value = confinement ? -e : e;
    while (::write(report, &value, sizeof value) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// In the child between fork and exec: only system calls, no allocation.
// Reports errno through `report` and ends when a step fails.
[[noreturn]] void child_start(const char* program, char* const* argv, char* const* envp,
                              const char* work_dir, const ChildSetup& setup, int report) {
    if (::setpgid(0, 0) != 0) child_fail(report);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (const int sig : {SIGPIPE, SIGINT, SIGTERM}) ::sigaction(sig, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (!setup.keep_std_handles) {
        for (int fd = 0; fd <= 2; ++fd) {
            const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (null < 0 || (null != fd && (::dup2(null, fd) < 0 || ::close(null) != 0)))
                child_fail(report);
        }
    }
    if (::chdir(work_dir) != 0) child_fail(report);
    if (setup.idle) {
        sched_param param{};
        ::sched_setscheduler(0, SCHED_IDLE, &param);
        ::setpriority(PRIO_PROCESS, 0, 19);
    }
    if (setup.max_output) {
        const rlimit cap{setup.max_output, setup.max_output};
        ::setrlimit(RLIMIT_FSIZE, &cap);
    }
    if (setup.wall && !setup.wall->apply_in_child()) child_fail(report, true);
    ::execve(program, argv, envp);
    child_fail(report);
}

// Starts the process; -1 when it cannot be started (also when the child
// could not set itself up, which it reports before exec). confinement_error
// becomes the errno of a confinement that failed in the child.
pid_t spawn(const std::string& program, const std::vector<std::string>& argv,
            const std::string& work_dir, const ChildSetup& setup, int& confinement_error) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env = child_environment(work_dir);
    const std::vector<char*> cargv = pointers(args);
    const std::vector<char*> cenv = pointers(env);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        child_start(program.c_str(), cargv.data(), cenv.data(), work_dir.c_str(), setup, report[1]);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return -1;
    }
    // The pipe closes unread on a successful exec.
    int child_errno = 0;
    ssize_t n;
    while ((n = ::read(report[0], &child_errno, sizeof child_errno)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (n > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        if (child_errno < 0) confinement_error = -child_errno;
        return -1;
    }
    return pid;
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

PackerResult RunPacker(ArchiveContext& ctx, const PackerCall& call) {
    PackerResult result;
    std::vector<std::string> argv = BuildCommandArgs(call.command, call.args);
    if (argv.empty() || argv[0].empty()) return result;
    const std::string program = program_path(ctx, argv[0]);
    const std::string shown = joined(argv);
    ctx.log.line(
        FillIn(call.log_label, {program.empty() ? shown : program + shown.substr(argv[0].size())}));
    if (program.empty() || !is_directory(call.work_dir)) return result;

    const Room before = call.max_output ? room_of(call.work_dir) : Room{};
    // The second wall behind the walk that never follows a link out of the
    // unpacked tree: the program itself can write only below its work
    // directory. Without Landlock it runs as before, and the log says so once.
    const WriteConfinement wall(call.confined ? call.work_dir : std::string());
    if (call.confined && !wall.ready() && !ctx.packers.unconfined_logged) {
        ctx.packers.unconfined_logged = true;
        ctx.log.always(FillIn("Packer laufen unbeschr\xC3\xA4nkt: %s\r\n", {wall.reason()}));
    }
    // The priority, the file size cap and the confinement pass on to what
    // the program starts in turn.
    ChildSetup setup;
    setup.keep_std_handles = call.keep_std_handles;
    setup.idle = ctx.settings.options.idle_priority;
    setup.max_output = call.max_output;
    setup.wall = wall.ready() ? &wall : nullptr;
    int confinement_error = 0;
    const pid_t pid = spawn(program, argv, call.work_dir, setup, confinement_error);
    if (pid <= 0) {
        // The kernel offered the confinement but refused to apply it: the
        // packer is not run unconfined behind the user's back, and the log
        // says why the archive stays unexpanded.
        if (confinement_error) {
            ctx.log.always(
                FillIn("Packer nicht gestartet, Beschr\xC3\xA4nkung fehlgeschlagen: %s\r\n",
                       {std::strerror(confinement_error)}));
        }
        return result;
    }
    if (ctx.settings.options.real_time && !call.shown_path.empty()) {
        ctx.frontend.status(0, call.shown_path);
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const long long limit = ctx.settings.options.time_out;
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

PackerResult RunUserCommandIn(ArchiveContext& ctx, UserCommand kind, const std::string& path,
                              const std::string& work_dir, std::uint64_t max_output) {
    const PackerSettings& p = ctx.settings.packer;
    PackerCall call;
    call.max_output = max_output;
    call.args = {path};
    call.work_dir = work_dir;
    call.shown_path = path;
    switch (kind) {
        case UserCommand::Own:
            if (!extension_in_list(p.own_extensions, file_part(path))) return {};
            call.command = p.own_command;
            break;
        case UserCommand::Info: {
            if (!extension_in_list(p.info_extensions, file_part(path))) return {};
            call.command = p.info_command;
            call.log_label = "\r\nuser info: %s\r\n";
            // A file left by the command for an earlier file must not be
            // read as this file's information.
            if (auto old = find_case_insensitive(work_dir, kInfoFileName)) ::unlink(old->c_str());
            break;
        }
        case UserCommand::Dir:
            call.command = p.dir_command;
            call.log_label = "\r\ndir: %s\r\n";
            call.confined = false;
            call.kill_label = "dir: %s abgebrochen\r\n";
            break;
    }
    if (SplitCommandWords(call.command).empty()) return {};
    return RunPacker(ctx, call);
}

CommandRun RunUserCommand(ArchiveContext& ctx, UserCommand kind, const std::string& path) {
    return RunUserCommandIn(ctx, kind, path, ctx.paths.temp_dir).run;
}

}  // namespace orbisto
