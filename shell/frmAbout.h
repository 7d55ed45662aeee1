#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

namespace glimmora {

// "About Glimmora...": the logo, name, version, a short description and the
// rights notice. OK closes and unloads it.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void cmdOK_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap logo_;
    QLabel* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* cmdOK;
};

} // namespace glimmora
