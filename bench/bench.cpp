#include "ConvertBench.h"
#include "EngineBench.h"

int main() {
    glimmora::RunEngineBenchmark();
    glimmora::RunConvertBenchmark();
    return 0;
}
