#pragma once

#include <QWidget>

namespace glimmora {

// The viewer window "Glimmora - Ascii Art".
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);
};

} // namespace glimmora
