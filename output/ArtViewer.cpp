#include "ArtViewer.h"

#include <memory>

#include "Form3.h"

namespace glimmora {

// Defined here, where Form3 is complete.
ArtViewer::ArtViewer() = default;
ArtViewer::~ArtViewer() = default;

Form3* ArtViewer::Window() const {
    return window_.get();
}

void ArtViewer::Show(const QString& artText) {
    if (!window_) {
        // Closing the window deletes it: its size box and text start afresh
        // the next time.
        window_ = std::make_unique<Form3>();
        QObject::connect(window_.get(), &Form3::closed, window_.get(), [this] {
            // The window is inside its own close handling: delete it after
            // that.
            window_.release()->deleteLater();
        });
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
