#include <QApplication>
#include <QStringList>

#include "AnimationBench.h"
#include "ConvertBench.h"
#include "EngineBench.h"
#include "TableBench.h"
#include "TerminalArtBench.h"
#include "ViewerBench.h"
#include "WizardBench.h"

// Runs every benchmark, or only those named as arguments (engine, convert,
// wizard, viewer, table, animation).
int main(int argc, char** argv) {
    // The wizard benchmark opens windows; without a display they go to the
    // offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList named = application.arguments().mid(1);
    const auto wanted = [&named](const char* name) {
        return named.isEmpty() || named.contains(QLatin1String(name));
    };
    if (wanted("engine")) {
        glimmora::RunEngineBenchmark();
    }
    if (wanted("convert")) {
        glimmora::RunConvertBenchmark();
    }
    if (wanted("wizard")) {
        glimmora::RunWizardBenchmark();
    }
    if (wanted("viewer")) {
        glimmora::RunViewerBenchmark();
    }
    if (wanted("table")) {
        glimmora::RunTableBenchmark();
    }
    if (wanted("terminal")) {
        glimmora::RunTerminalArtBenchmark();
    }
    if (wanted("animation")) {
        glimmora::RunAnimationBenchmark();
    }
    return 0;
}
