#pragma once

#include <QWidget>

/// A thin strip by which the user drags the window it lies in. A window that moves itself on a press (the tool
/// panel, which no window manager moves) gets the press; any other window is moved by the window manager.
class MRKODragWindowView final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kHeight = 20; // points

    explicit MRKODragWindowView(QWidget *parent = nullptr);

    [[nodiscard]] bool mouseDownCanMoveWindow() const { return true; }
    [[nodiscard]] bool acceptsFirstResponder() const { return false; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
