#include <QCoreApplication>
#include <QGuiApplication>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConvertCommand.h"

namespace {

// Qt's picture decoders warn about damaged files on the error stream; the
// converter reports such a file in one line of its own, so their chatter is
// dropped. Critical and fatal messages still get through.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "glimmora-convert: %s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // A standard stream the program was started without gets a placeholder
    // that cannot be used the stream's way (/dev/null opened the other
    // way), so that no file opened later takes its number: reading standard
    // input or writing standard output then fails as closed (EBADF) and is
    // reported so.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        }
    }
    qInstallMessageHandler(QuietMessages);
    // A file that reaches the size the system allows fails the write
    // (EFBIG), so the old file is kept and the failure said, instead of the
    // signal ending the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);

    // Qt's picture readers are plugins; an application object lets them be
    // found the usual way. It gets only the program name: the arguments are
    // read here, as the system's bytes (file names are not decoded), and
    // none of them is meant for Qt.
    char programName[] = "glimmora-convert";
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (glimmora::NeedsFonts(args)) {
        // The art drawn as a picture needs the fonts; no window is shown,
        // so no display either.
        char platformOption[] = "-platform";
        char offscreen[] = "offscreen";
        char* guiArgv[] = {programName, platformOption, offscreen, nullptr};
        int guiArgc = 3;
        QGuiApplication application(guiArgc, guiArgv);
        return glimmora::RunConvertCommand(args, stdout, stderr);
    }
    QCoreApplication application(qtArgc, qtArgv);
    return glimmora::RunConvertCommand(args, stdout, stderr);
}
