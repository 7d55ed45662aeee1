#pragma once

namespace glimmora {

// Runs the program: the windows, until the last one closes. Returns the
// process exit code.
int RunGlimmora(int argc, char** argv);

} // namespace glimmora
