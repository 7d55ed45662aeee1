#pragma once

class QWidget;

namespace glimmora {

// Names the wizard's controls for screen readers: each picture button by
// the caption drawn on it, each option button, text box and the face list
// by the caption beside it.
void NameForScreenReaders(QWidget& wizard);

} // namespace glimmora
