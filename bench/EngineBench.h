#pragma once

namespace glimmora {

// Times the conversion engine on a large generated picture at scale 1 x 1,
// in sign mode and in coloured mode, one thread, and prints the cells per
// second of each.
void RunEngineBenchmark();

} // namespace glimmora
