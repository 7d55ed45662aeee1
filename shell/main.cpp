#include "Startup.h"

int main(int argc, char** argv) {
    return glimmora::RunGlimmora(argc, argv);
}
