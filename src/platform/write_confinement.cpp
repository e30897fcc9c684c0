#include "platform/write_confinement.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

// Older kernel headers lack the right of ABI 3; its value is fixed by the
// kernel's interface.
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif

namespace orbisto {

namespace {

// Every right that changes the file system, by the ABI version that brought
// it. Reading, listing and executing are not handled, so they stay free.
std::uint64_t write_rights(int abi) {
    std::uint64_t rights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                           LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR |
                           LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
                           LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO |
                           LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;
    if (abi >= 2) rights |= LANDLOCK_ACCESS_FS_REFER;
    if (abi >= 3) rights |= LANDLOCK_ACCESS_FS_TRUNCATE;
    return rights;
}

// The rights that apply to a file rather than a directory.
constexpr std::uint64_t kFileRights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_TRUNCATE;

bool allow_below(int ruleset, const char* path, std::uint64_t rights) {
    const int fd = ::open(path, O_PATH | O_CLOEXEC);
    if (fd < 0) return false;
    landlock_path_beneath_attr rule{};
    rule.allowed_access = rights;
    rule.parent_fd = fd;
    const long r = ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
    ::close(fd);
    return r == 0;
}

}  // namespace

int landlock_abi() {
    const long abi =
        ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi > 0 ? static_cast<int>(abi) : 0;
}

WriteConfinement::WriteConfinement(const std::string& dir) {
    if (dir.empty()) return;
    const long abi =
        ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi <= 0) {
        reason_ = errno == ENOSYS       ? "the kernel has no Landlock"
                  : errno == EOPNOTSUPP ? "Landlock is switched off in this kernel"
                                        : std::strerror(errno);
        return;
    }
    const std::uint64_t rights = write_rights(static_cast<int>(abi));
    landlock_ruleset_attr attr{};
    attr.handled_access_fs = rights;
    const long fd = ::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0);
    if (fd < 0) {
        reason_ = std::strerror(errno);
        return;
    }
    ruleset_ = static_cast<int>(fd);
    if (!allow_below(ruleset_, dir.c_str(), rights)) {
        reason_ = dir + ": " + std::strerror(errno);
        ::close(ruleset_);
        ruleset_ = -1;
        return;
    }
    // Programs write their noise there; failing that rule costs nothing.
    allow_below(ruleset_, "/dev/null", rights & kFileRights);
}

WriteConfinement::~WriteConfinement() {
    if (ruleset_ >= 0) ::close(ruleset_);
}

bool WriteConfinement::apply_in_child() const noexcept {
    if (ruleset_ < 0) return false;
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    return ::syscall(SYS_landlock_restrict_self, ruleset_, 0) == 0;
}

}  // namespace orbisto
