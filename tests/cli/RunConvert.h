#pragma once

// Runs the built glimmora-convert as a user would: arguments as the system's
// bytes, standard input given, standard output and error caught, in a child
// process that may run as an ordinary user, under a limit, or with its
// output on a terminal or a device.

#include <QByteArray>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/ChildProcess.h"

namespace glimmora::testing {

struct Run {
    int exitCode = -1; // -1: ended by a signal (or never started)
    QByteArray out;
    QByteArray err;
};

struct RunSetup {
    QByteArray input;
    ChildOptions child;
    // Standard output goes here instead (a terminal, /dev/full); -2 closes it.
    int outFd = -1;
    // Runs in the child just before the program starts (a memory limit).
    std::function<void()> beforeStart;
};

inline QByteArray ReadBack(std::FILE* file) {
    QByteArray bytes;
    std::rewind(file);
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    return bytes;
}

inline Run RunConvertBytes(const std::vector<std::string>& args, const RunSetup& setup = {}) {
    // Files, not pipes: the child is waited for before anything is read.
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Run run;
    if (in != nullptr && out != nullptr && err != nullptr &&
        std::fwrite(setup.input.constData(), 1, static_cast<std::size_t>(setup.input.size()), in) ==
            static_cast<std::size_t>(setup.input.size()) &&
        std::fflush(in) == 0) {
        std::rewind(in);
        std::vector<char*> argv{const_cast<char*>(GLIMMORA_CONVERT)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const ChildExit exit = RunInChild(
            [&] {
                ::dup2(::fileno(in), STDIN_FILENO);
                if (setup.outFd == -2) {
                    ::close(STDOUT_FILENO);
                } else {
                    ::dup2(setup.outFd >= 0 ? setup.outFd : ::fileno(out), STDOUT_FILENO);
                }
                ::dup2(::fileno(err), STDERR_FILENO);
                if (setup.beforeStart) {
                    setup.beforeStart();
                }
                // A program that blocks is ended rather than the suite.
                ::alarm(60);
                ::execv(argv[0], argv.data());
                return false;
            },
            setup.child);
        run.exitCode = exit.signal == 0 ? exit.code : -1;
        run.out = ReadBack(out);
        run.err = ReadBack(err);
    }
    for (std::FILE* file : {in, out, err}) {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    return run;
}

// Arguments as UTF-8.
inline Run RunConvert(const QStringList& args, const RunSetup& setup = {}) {
    std::vector<std::string> bytes;
    for (const QString& arg : args) {
        bytes.push_back(arg.toStdString());
    }
    return RunConvertBytes(bytes, setup);
}

} // namespace glimmora::testing
