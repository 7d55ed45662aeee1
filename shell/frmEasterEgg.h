#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace glimmora {

// The hidden picture window: borderless, not in the task bar. A click on its
// background hides it; it stays loaded for the next time.
class frmEasterEgg : public QWidget {
    Q_OBJECT
public:
    explicit frmEasterEgg(QWidget* parent = nullptr);

    void Form_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap background_;
    QLabel* Picture1;
    bool pressed_ = false;
};

} // namespace glimmora
