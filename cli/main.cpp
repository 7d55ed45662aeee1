#include <QCoreApplication>

#include <csignal>
#include <cstdio>
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
    QCoreApplication application(qtArgc, qtArgv);

    const std::vector<std::string> args(argv + 1, argv + argc);
    return glimmora::RunConvertCommand(args, stdout, stderr);
}
