#pragma once

#include <QPushButton>

namespace scanforms::window {

// A push button whose caption wraps onto more lines when it is wider than
// the button, as "Initialize Scanner" is at its fixed size.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace scanforms::window
