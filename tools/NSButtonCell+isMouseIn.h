#pragma once

class QAbstractButton;

/// Whether the pointer is inside a button: the record that every tool-bar button draws its hover look from. A
/// button that never had it set reads NO.
namespace isMouseIn {

void setSeeMouse(QAbstractButton &button, bool inside);
[[nodiscard]] bool seeMouse(const QAbstractButton &button);
[[nodiscard]] bool isMouseIn(const QAbstractButton &button);
/// Record the pointer's entry or exit and redraw the button.
void mouseEntered(QAbstractButton &button);
void mouseExited(QAbstractButton &button);

} // namespace isMouseIn
