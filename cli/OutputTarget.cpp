#include "OutputTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <random>

#include "Messages.h"
#include "output/Interruption.h"

namespace glimmora {

namespace {

constexpr int kMostLinks = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The descriptor a name stands for: /dev/fd/N, /proc/self/fd/N and this
// process's /proc/PID/fd/N (/dev/stdout leads to one of them) are the
// program's own open files, not names of files to replace.
std::optional<int> DescriptorNamed(const std::string& path) {
    std::string_view rest = path;
    const std::string ownProc = "/proc/" + std::to_string(::getpid()) + "/fd/";
    bool matched = false;
    for (const std::string_view prefix :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
          std::string_view("/proc/thread-self/fd/"), std::string_view(ownProc)}) {
        if (rest.starts_with(prefix)) {
            rest.remove_prefix(prefix.size());
            matched = true;
            break;
        }
    }
    int fd = -1;
    if (!matched || rest.empty() ||
        std::from_chars(rest.data(), rest.data() + rest.size(), fd).ptr !=
            rest.data() + rest.size() ||
        fd < 0) {
        return std::nullopt;
    }
    return fd;
}

// Follows symbolic links from path to the name that is not one (which may
// not exist yet), or to a name of one of the program's open files
// (descriptor). 0, or the errno value.
int FollowLinks(const std::string& path, std::string& resolved, int* descriptor = nullptr) {
    std::string current = path;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        if (descriptor != nullptr) {
            if (const std::optional<int> fd = DescriptorNamed(current)) {
                *descriptor = *fd;
                resolved = current;
                return 0;
            }
        }
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            resolved = current;
            return 0;
        }
        if (!S_ISLNK(status.st_mode)) {
            resolved = current;
            return 0;
        }
        std::string target(static_cast<std::size_t>(status.st_size) + 256, '\0');
        const ssize_t size = ::readlink(current.c_str(), target.data(), target.size());
        if (size < 0) {
            return errno;
        }
        target.resize(static_cast<std::size_t>(size));
        current = !target.empty() && target[0] == '/' ? target : FolderOf(current) + "/" + target;
    }
    return ELOOP;
}

// Copies every extended attribute of the file at from to the open file to:
// its access control lists among them (the system keeps them so). False
// when one cannot be copied.
bool CopyExtendedAttributes(const std::string& from, int to) {
    ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
    if (size < 0) {
        // A file system that keeps none has none to copy.
        return errno == ENOTSUP;
    }
    std::string names(static_cast<std::size_t>(size), '\0');
    size = size == 0 ? 0 : ::listxattr(from.c_str(), names.data(), names.size());
    if (size < 0) {
        return false;
    }
    names.resize(static_cast<std::size_t>(size));
    for (std::size_t at = 0; at < names.size();) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        const ssize_t length = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
        std::string value(static_cast<std::size_t>(std::max<ssize_t>(length, 0)), '\0');
        if (length < 0 ||
            ::getxattr(from.c_str(), name.c_str(), value.data(), value.size()) != length ||
            ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

// Whether a new file may take the place of target (status: its own). In a
// folder with the sticky bit, such as /tmp, only the owner of the file or of
// the folder may; another user's file there that this user may write to is
// written in place instead.
bool MayReplace(const std::string& target, const struct stat& status) {
    const uid_t user = ::geteuid();
    if (user == 0 || status.st_uid == user) {
        return true;
    }
    struct stat folder {};
    if (::stat(FolderOf(target).c_str(), &folder) != 0) {
        return true; // making the file beside it will say why not
    }
    return (folder.st_mode & S_ISVTX) == 0 || folder.st_uid == user;
}

// A new, empty file beside target with a name of its own; -1 and errno on
// failure. It gets the permission bits a new file gets (the umask applies).
int MakeFileBeside(const std::string& target, std::string& made) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::minstd_rand random(seed());
    // Short enough for any name the folder takes (255 bytes).
    const std::string stem = FolderOf(target) + "/." + NameOf(target).substr(0, 200) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = stem;
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            made = name;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

// Writes all of bytes. A write cut short by a signal goes on, unless the
// signal is one that ends the program (stopOnSignal).
bool WriteAll(int fd, std::string_view bytes, off_t at, bool positioned, int& error,
              bool stopOnSignal = true) {
    while (!bytes.empty()) {
        const ssize_t done = positioned ? ::pwrite(fd, bytes.data(), bytes.size(), at)
                                        : ::write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR && !(stopOnSignal && InterruptionGuard::Caught() != 0)) {
                continue;
            }
            error = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
        at += done;
    }
    return true;
}

std::string OutputReason(int error) {
    return error == ENOENT ? std::string("the folder does not exist") : ReasonFor(error);
}

} // namespace

OutputTarget::OutputTarget(std::FILE* stream) : mode_(Mode::Stream), stream_(stream) {}

OutputTarget::OutputTarget(Opened, Mode mode, int fd) : mode_(mode), fd_(fd) {}

std::unique_ptr<OutputTarget> OutputTarget::Open(const std::string& path, std::string& reason) {
    std::string target;
    int descriptor = -1;
    if (const int error = FollowLinks(path, target, &descriptor); error != 0) {
        reason = OutputReason(error);
        return nullptr;
    }
    if (descriptor >= 0) {
        // One of the program's open files, such as standard output: written
        // into as the caller opened it (appended to after >>), never
        // replaced.
        const int fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd < 0) {
            reason = errno == EBADF ? "descriptor " + std::to_string(descriptor) + " is closed"
                                    : OutputReason(errno);
            return nullptr;
        }
        return std::make_unique<OutputTarget>(Opened(), Mode::Direct, fd);
    }
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        reason = OutputReason(errno);
        return nullptr;
    }
    if (exists && S_ISDIR(status.st_mode)) {
        reason = ReasonFor(EISDIR);
        return nullptr;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        // A device or a pipe: written into, never replaced.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            reason = OutputReason(errno);
            return nullptr;
        }
        return std::make_unique<OutputTarget>(Opened(), Mode::Direct, fd);
    }

    // A file the user may not write to is not replaced either, though the
    // folder would allow putting a new one in its place.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        reason = OutputReason(errno);
        return nullptr;
    }
    // From here on a signal that ends the program first puts the file back.
    auto guard = std::make_unique<InterruptionGuard>();
    const bool replaceable = !exists || MayReplace(target, status);
    std::string temp;
    int fd = replaceable ? MakeFileBeside(target, temp) : -1;
    int tempError = replaceable ? errno : EPERM;
    if (fd >= 0 && exists) {
        // The owner first: changing it may clear the set-id bits. The
        // access control lists come after the permission bits, which would
        // change their mask.
        [[maybe_unused]] const int owned = ::fchown(fd, status.st_uid, status.st_gid);
        ::fchmod(fd, status.st_mode & 07777);
        if (!CopyExtendedAttributes(target, fd)) {
            // What cannot be kept on a new file is kept by writing in place.
            ::close(fd);
            ::unlink(temp.c_str());
            fd = -1;
            tempError = EPERM;
        }
    }
    if (fd >= 0) {
        auto output = std::make_unique<OutputTarget>(Opened(), Mode::Replace, fd);
        output->finalPath_ = target;
        output->tempPath_ = temp;
        output->guard_ = std::move(guard);
        return output;
    }
    if (!exists || tempError == ENOENT || tempError == ENOTDIR) {
        reason = OutputReason(tempError);
        return nullptr;
    }
    // No new file can be made beside it: the file itself is written, its old
    // bytes kept to put back.
    const int inPlace = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (inPlace < 0) {
        reason = OutputReason(errno);
        return nullptr;
    }
    auto output = std::make_unique<OutputTarget>(Opened(), Mode::InPlace, inPlace);
    output->finalPath_ = target;
    output->guard_ = std::move(guard);
    output->oldBytes_.resize(static_cast<std::size_t>(status.st_size));
    std::size_t have = 0;
    while (have < output->oldBytes_.size()) {
        const ssize_t got = ::pread(inPlace, output->oldBytes_.data() + have,
                                    output->oldBytes_.size() - have, static_cast<off_t>(have));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            reason = got < 0 ? OutputReason(errno) : std::string("the file changed while read");
            output->finished_ = true; // nothing was written: nothing to put back
            return nullptr;
        }
        have += static_cast<std::size_t>(got);
    }
    return output;
}

OutputTarget::~OutputTarget() {
    if (!finished_) {
        Abandon();
    }
}

void OutputTarget::Write(std::string_view bytes) {
    StopIfInterrupted();
    if (error_ != 0 || bytes.empty()) {
        return;
    }
    if (mode_ == Mode::Stream) {
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
            error_ = errno != 0 ? errno : EIO;
        }
        return;
    }
    if (WriteAll(fd_, bytes, written_, mode_ == Mode::InPlace, error_)) {
        written_ += static_cast<off_t>(bytes.size());
    }
    StopIfInterrupted();
}

void OutputTarget::StopIfInterrupted() {
    if (guard_ && !finished_ && InterruptionGuard::Caught() != 0) {
        Abandon();
        InterruptionGuard::EndIfCaught();
        error_ = EINTR;
    }
}

std::optional<std::string> OutputTarget::Finish() {
    StopIfInterrupted();
    if (finished_) {
        return OutputReason(error_);
    }
    finished_ = true;
    switch (mode_) {
    case Mode::Stream:
        if (error_ == 0 && std::fflush(stream_) != 0) {
            error_ = errno != 0 ? errno : EIO;
        }
        break;
    case Mode::Direct:
        if (::close(fd_) != 0 && error_ == 0 && errno != EINTR) {
            error_ = errno;
        }
        fd_ = -1;
        break;
    case Mode::Replace:
        // On the disk before the rename, so a crash never leaves an empty
        // file where the old one was.
        if (error_ == 0 && ::fsync(fd_) != 0 && errno != EINVAL) {
            error_ = errno;
        }
        if (::close(fd_) != 0 && error_ == 0 && errno != EINTR) {
            error_ = errno;
        }
        fd_ = -1;
        if (error_ == 0 && InterruptionGuard::Caught() != 0) {
            error_ = EINTR;
        }
        if (error_ == 0 && ::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
            error_ = errno;
        }
        if (error_ != 0) {
            ::unlink(tempPath_.c_str());
        }
        break;
    case Mode::InPlace:
        if (error_ == 0 && InterruptionGuard::Caught() != 0) {
            error_ = EINTR;
        }
        if (error_ == 0 && ::ftruncate(fd_, written_) != 0) {
            error_ = errno;
        }
        if (error_ != 0) {
            PutBackOldBytes();
        }
        if (::close(fd_) != 0 && error_ == 0 && errno != EINTR) {
            error_ = errno;
        }
        fd_ = -1;
        break;
    }
    if (error_ == EINTR) {
        InterruptionGuard::EndIfCaught();
    }
    if (error_ != 0) {
        return OutputReason(error_);
    }
    return std::nullopt;
}

void OutputTarget::Abandon() {
    finished_ = true;
    switch (mode_) {
    case Mode::Stream:
        std::fflush(stream_);
        return;
    case Mode::Direct:
        break;
    case Mode::Replace:
        ::unlink(tempPath_.c_str());
        break;
    case Mode::InPlace:
        if (written_ > 0) {
            PutBackOldBytes();
        }
        break;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void OutputTarget::PutBackOldBytes() {
    int ignored = 0;
    WriteAll(fd_, oldBytes_, 0, true, ignored, false);
    [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(oldBytes_.size()));
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino, S_ISREG(status.st_mode)};
}

std::optional<FileIdentity> IdentityOfDescriptor(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino, S_ISREG(status.st_mode)};
}

std::string FinalName(const std::string& path) {
    std::string followed;
    if (FollowLinks(path, followed) != 0) {
        followed = path;
    }
    const std::unique_ptr<char, decltype(&std::free)> folder(
        ::realpath(FolderOf(followed).c_str(), nullptr), &std::free);
    if (!folder) {
        return followed;
    }
    const std::string resolved = folder.get();
    return (resolved.ends_with('/') ? resolved : resolved + "/") + NameOf(followed);
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

int MakeFolders(const std::string& path) {
    if (IsFolder(path)) {
        return 0;
    }
    // The folders above first, then this one.
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (const int error = MakeFolders(trimmed.substr(0, slash)); error != 0) {
            return error;
        }
    }
    if (::mkdir(trimmed.c_str(), 0777) != 0 && errno != EEXIST) {
        return errno;
    }
    return IsFolder(trimmed) ? 0 : ENOTDIR;
}

} // namespace glimmora
