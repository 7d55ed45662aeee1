#pragma once

namespace glimmora {

// How faithful the terminal art is, beside chafa where it is installed: each
// cell drawn with DejaVu Sans Mono's real glyph ink in its colours and
// compared with the picture box-filtered to the same samples (SSIM and
// correlation of CIELAB lightness, mean colour difference); whether the art
// fits a 120 x 40 terminal; its bytes; its time on a 12-MP JPEG. Photos from
// /usr/share/backgrounds/gnome where present, else generated ones. Needs a
// QGuiApplication.
void RunTerminalArtBenchmark();

} // namespace glimmora
