#pragma once

#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace glimmora {

class InterruptionGuard;

// Where one document goes. Nothing is ever half-written into a file:
// - a regular file (or a name not yet taken) is written as a new file beside
//   it and renamed over it once all of it is written; a failure leaves the
//   old file as it was. The new file gets the old one's permission bits, and
//   its owner where the system allows. A file the user may not write to is
//   refused, as writing into it would be;
// - a symbolic link is followed, and the file it leads to is written; the
//   link stays;
//   The new file gets the old one's extended attributes and access control
//   lists too; where they cannot be copied, the file is written in place;
// - a writable file in a folder where no new file can be made is written in
//   place; its old bytes are kept in memory and put back on a failure;
// - a device or a pipe is written into directly and never replaced (what
//   went into it cannot be taken back), and so is a name of one of the
//   program's open files (/dev/stdout, /proc/self/fd/1);
// - standard output is written as it goes.
// SIGINT, SIGTERM, SIGHUP or SIGPIPE while a file is replaced or written in
// place first put it back as it was, then end the program as they would.
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
    // Puts the file back and ends the program when a signal came that ends
    // it; for long stretches of work between writes.
    void StopIfInterrupted();
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
    std::unique_ptr<InterruptionGuard> guard_;
    off_t written_ = 0;
    int error_ = 0;
    bool finished_ = false;
};

// What the system knows a file by, links followed: two names with the same
// identity are the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool regular = false; // a regular file, not a device, pipe or folder
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOfPath(const std::string& path);
std::optional<FileIdentity> IdentityOfDescriptor(int fd);

// The name a document written to path ends up in: links followed, its
// folder with links and "." and ".." resolved, so that two spellings of
// one name compare equal.
std::string FinalName(const std::string& path);

// True when path names a folder (links followed).
bool IsFolder(const std::string& path);
// Makes a folder and any missing folders above it. 0, or the errno value.
int MakeFolders(const std::string& path);

} // namespace glimmora
