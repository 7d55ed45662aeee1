#pragma once

// Runs part of a test in a forked child process: as an ordinary user where the
// suite runs as root (root may write anywhere, so a folder without permission
// proves nothing), or under a file-size limit (a write that fails half-way).
// The test's own process keeps its rights and limits.

#include <QFile>
#include <QString>

#include <cerrno>
#include <functional>
#include <optional>
#include <utility>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace glimmora::testing {

struct ChildOptions {
    // Run as the unprivileged user "nobody" when the test runs as root; an
    // ordinary user runs as itself.
    bool unprivileged = false;
    // The largest file the child may write, in bytes. A write beyond it fails
    // with EFBIG (SIGXFSZ is ignored), as on a disk that fills up half-way.
    std::optional<rlim_t> fileSizeLimit;

    static ChildOptions Unprivileged() { return {true, std::nullopt}; }
    static ChildOptions FileSizeLimit(rlim_t bytes) { return {false, bytes}; }
};

// How the child ended.
struct ChildExit {
    // The exit code of a child that could not take on its options (the
    // user or the limit).
    static constexpr int kCannotSetUp = 125;

    int code = -1;  // the exit code, -1 when killed or never started
    int signal = 0; // the signal that ended it, 0 when it exited

    bool Passed() const { return signal == 0 && code == 0; }
};

// The user a child with `unprivileged` runs as: "nobody" when this process
// is root, nullopt for an ordinary user (who stays who it is).
inline std::optional<std::pair<uid_t, gid_t>> UnprivilegedUser() {
    if (::geteuid() != 0) {
        return std::nullopt;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) {
        return std::pair<uid_t, gid_t>{65534, 65534};
    }
    return std::pair<uid_t, gid_t>{nobody->pw_uid, nobody->pw_gid};
}

// Gives `path` to the user an unprivileged child runs as, so that it may work
// in a folder the test made; nothing to do for an ordinary user.
inline bool HandToUnprivileged(const QString& path) {
    const auto user = UnprivilegedUser();
    return !user || ::chown(QFile::encodeName(path).constData(), user->first, user->second) == 0;
}

// Runs `body` in a forked child with `options` and waits for it. The child
// exits 0 when `body` returns true and 1 when it returns false, without
// running the test's exit handlers; it must not use QTest's checks (they would
// return from `body` without a verdict the parent sees).
inline ChildExit RunInChild(const std::function<bool()>& body, const ChildOptions& options = {}) {
    const pid_t child = ::fork();
    if (child < 0) {
        return {};
    }
    if (child == 0) {
        if (options.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                ::_exit(ChildExit::kCannotSetUp);
            }
        }
        if (options.unprivileged) {
            if (const auto user = UnprivilegedUser()) {
                if (::setgroups(0, nullptr) != 0 || ::setgid(user->second) != 0 ||
                    ::setuid(user->first) != 0 || ::geteuid() == 0) {
                    ::_exit(ChildExit::kCannotSetUp);
                }
            }
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return {};
        }
    }
    if (WIFSIGNALED(status)) {
        return {-1, WTERMSIG(status)};
    }
    return {WEXITSTATUS(status), 0};
}

} // namespace glimmora::testing
