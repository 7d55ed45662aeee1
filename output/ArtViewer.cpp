#include "ArtViewer.h"

#include "Form3.h"

namespace glimmora {

Form3::Form3(QWidget* parent) : QWidget(parent) {}

ArtViewer::~ArtViewer() = default;

Form3* ArtViewer::Window() const {
    return window_;
}

void ArtViewer::Show(const QString&) {}

} // namespace glimmora
