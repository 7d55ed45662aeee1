#pragma once

// Runs the built glimmora-convert as a user would, in a child process
// (tests/support/ChildProcess.h): arguments as the system's bytes, standard
// input given, standard output and error caught in files.

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/ChildProcess.h"

namespace glimmora::testing {

struct Run {
    int exitCode = -1; // -1: ended by a signal, or never started
    QByteArray out;
    QByteArray err;
};

struct RunSetup {
    QByteArray input;
    ChildOptions child;
    int outFd = -1;                    // standard output goes here instead; -2 closes it
    std::function<void()> beforeStart; // in the child, e.g. a memory limit
};

inline QByteArray ReadBack(std::FILE* file) {
    QByteArray bytes;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    return bytes;
}

inline Run RunConvertBytes(const std::vector<std::string>& args, const RunSetup& setup = {}) {
    std::vector<char*> argv{const_cast<char*>(GLIMMORA_CONVERT)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    // Files, not pipes: the child is waited for before anything is read.
    std::FILE* files[3] = {std::tmpfile(), std::tmpfile(), std::tmpfile()};
    Run run;
    if (files[0] && files[1] && files[2] &&
        std::fwrite(setup.input.constData(), 1, std::size_t(setup.input.size()), files[0]) ==
            std::size_t(setup.input.size()) &&
        std::fflush(files[0]) == 0) {
        std::rewind(files[0]);
        const ChildExit exit = RunInChild(
            [&] {
                ::dup2(::fileno(files[0]), STDIN_FILENO);
                ::dup2(setup.outFd >= 0 ? setup.outFd : ::fileno(files[1]), STDOUT_FILENO);
                if (setup.outFd == -2) {
                    ::close(STDOUT_FILENO);
                }
                ::dup2(::fileno(files[2]), STDERR_FILENO);
                if (setup.beforeStart) {
                    setup.beforeStart();
                }
                ::alarm(60); // a program that blocks is ended, not the suite
                ::execv(argv[0], argv.data());
                return false;
            },
            setup.child);
        run.exitCode = exit.signal == 0 ? exit.code : -1;
        run.out = ReadBack(files[1]);
        run.err = ReadBack(files[2]);
    }
    for (std::FILE* file : files) {
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
