#pragma once

#include <QString>

#include <memory>

namespace glimmora {

class Form3;

// The one viewer window of the program: created on first use and anew after
// the user closed it.
class ArtViewer {
public:
    ArtViewer();
    ~ArtViewer();
    ArtViewer(const ArtViewer&) = delete;
    ArtViewer& operator=(const ArtViewer&) = delete;

    // Shows the art text (lone CRs end lines), keeping the size the user set
    // while the window stays open, and brings the window forward.
    void Show(const QString& artText);
    // The window, or null when it is not open.
    Form3* Window() const;

private:
    std::unique_ptr<Form3> window_;
};

} // namespace glimmora
