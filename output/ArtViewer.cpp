#include "ArtViewer.h"

#include <memory>

#include "Form3.h"

namespace glimmora {

ArtViewer::~ArtViewer() {
    // A window still open when the program ends goes with its viewer.
    std::unique_ptr<Form3> open(window_.data());
}

Form3* ArtViewer::Window() const {
    return window_;
}

void ArtViewer::Show(const QString& artText) {
    if (!window_) {
        // Closing the window deletes it: its size box and text start afresh
        // the next time.
        window_ = new Form3();
        window_->setAttribute(Qt::WA_DeleteOnClose);
    }
    window_->SetArtText(artText);
    if (window_->isMinimized()) {
        window_->showNormal();
    } else {
        window_->show();
    }
    window_->raise();
    window_->activateWindow();
}

} // namespace glimmora
