#pragma once

#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace glimmora {

// Where one document goes. Nothing is ever half-written into a file:
// - a regular file (or a name not yet taken) is written as a new file beside
//   it and renamed over it once all of it is written; a failure leaves the
//   old file as it was. The new file gets the old one's permission bits, and
//   its owner where the system allows. A file the user may not write to is
//   refused, as writing into it would be;
// - a symbolic link is followed, and the file it leads to is written; the
//   link stays;
// - a writable file in a folder where no new file can be made is written in
//   place; its old bytes are kept in memory and put back on a failure;
// - a device or a pipe is written into directly and never replaced (what
//   went into it cannot be taken back);
// - standard output is written as it goes.
class OutputTarget {
public:
    // Standard output, or another stream that stays open.
    explicit OutputTarget(std::FILE* stream);
    // Opens path (the system's bytes) for a new document. Null on failure,
    // with why in reason ("permission denied", "the folder does not exist").
    static std::unique_ptr<OutputTarget> Open(const std::string& path, std::string& reason);

    // A target that was not finished is left as it was where it can be.
    ~OutputTarget();
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    // After the first failure the rest is passed over; Finish reports it.
    void Write(std::string_view bytes);
    // Completes the document. Nothing on success; otherwise why, and the
    // target is as it was (a device or stream keeps what it was given).
    std::optional<std::string> Finish();

private:
    enum class Mode { Stream, Replace, InPlace, Direct };
    struct Opened {
        explicit Opened() = default;
    };

public:
    // For Open only.
    OutputTarget(Opened, Mode mode, int fd);

private:
    void Abandon();
    void PutBackOldBytes();

    Mode mode_;
    std::FILE* stream_ = nullptr;
    int fd_ = -1;
    std::string finalPath_;
    std::string tempPath_;
    std::string oldBytes_; // in place: the file as it was
    off_t written_ = 0;
    int error_ = 0;
    bool finished_ = false;
};

// What the system knows a file by, links followed: two names with the same
// identity are the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOfPath(const std::string& path);
std::optional<FileIdentity> IdentityOfDescriptor(int fd);

// True when path names a folder (links followed).
bool IsFolder(const std::string& path);
// Makes a folder and any missing folders above it. 0, or the errno value.
int MakeFolders(const std::string& path);

} // namespace glimmora
