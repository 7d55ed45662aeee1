#include <QApplication>

#include "ConvertBench.h"
#include "EngineBench.h"
#include "WizardBench.h"

int main(int argc, char** argv) {
    // The wizard benchmark opens windows; without a display they go to the
    // offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    glimmora::RunEngineBenchmark();
    glimmora::RunConvertBenchmark();
    glimmora::RunWizardBenchmark();
    return 0;
}
