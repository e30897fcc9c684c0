// Confining a child process so that it can write only below one directory
// (and to /dev/null), with the kernel's Landlock rules. Reading and running
// programs stay allowed everywhere. The rule set is made in the parent; the
// child applies it between fork and exec with two system calls and nothing
// else, so it is safe there.
#pragma once

#include <string>

namespace orbisto {

class WriteConfinement {
  public:
    // Rules that allow writes only below `dir`. When the kernel offers no
    // Landlock (or the directory cannot be opened), ready() is false and
    // reason() says why. An empty dir makes no rules at all.
    explicit WriteConfinement(const std::string& dir);
    ~WriteConfinement();
    WriteConfinement(const WriteConfinement&) = delete;
    WriteConfinement& operator=(const WriteConfinement&) = delete;

    bool ready() const { return ruleset_ >= 0; }
    const std::string& reason() const { return reason_; }

    // In the child after fork: forbids gaining privileges on exec and
    // applies the rules to this process and everything it starts. False
    // when the kernel refused.
    bool apply_in_child() const noexcept;

  private:
    int ruleset_ = -1;
    std::string reason_;
};

// The Landlock ABI version the kernel offers, 0 when none.
int landlock_abi();

}  // namespace orbisto
