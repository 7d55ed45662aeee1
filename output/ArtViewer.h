#pragma once

#include <QPointer>
#include <QString>

namespace glimmora {

class Form3;

// The one viewer window of the program: created on first use and anew after
// the user closed it.
class ArtViewer {
public:
    ArtViewer() = default;
    ~ArtViewer();
    ArtViewer(const ArtViewer&) = delete;
    ArtViewer& operator=(const ArtViewer&) = delete;

    // Shows the art text (lone CRs end lines), keeping the size the user set
    // while the window stays open, and brings the window forward.
    void Show(const QString& artText);
    // The window, or null when it is not open.
    Form3* Window() const;

private:
    QPointer<Form3> window_;
};

} // namespace glimmora
