#include "EngineBench.h"

int main() {
    glimmora::RunEngineBenchmark();
    return 0;
}
