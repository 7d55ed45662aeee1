#pragma once

#include <QString>
#include <QStringList>

namespace glimmora {

// What the command line asks of the program.
struct StartRequest {
    enum class Action {
        Run,      // the windows, with picture chosen when it is not empty
        ShowHelp, // the usage on standard output, then exit 0
        ShowVersion,
        UsageError // message on standard error, then exit 2
    };
    Action action = Action::Run;
    QString picture;
    QString message;
};

// Reads the arguments after the program name (Qt's own options already
// taken out): at most one picture, -h/--help, -v/--version; "--" ends the
// options, so a picture may be named "-x.png".
StartRequest ReadStartArguments(const QStringList& arguments);

// The usage the program prints for --help.
QString StartUsage();

// Names the running program, gives it its icon, style and the faces the
// windows are drawn for. Needs the application object.
void SetUpApplication();

// Runs the program: the windows, until the last one closes. Returns the
// process exit code.
int RunGlimmora(int argc, char** argv);

} // namespace glimmora
