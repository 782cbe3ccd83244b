#pragma once

#include <QImage>
#include <QWidget>

/// A window with rounded corners (radius 12) that can take the keyboard even without a border.
class MRKORoundCornerWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MRKORoundCornerWindow(QWidget *parent = nullptr);

    [[nodiscard]] static bool canBecomeKeyWindow() { return true; }
    /// The shape of the window: a filled rounded rectangle over its bounds.
    [[nodiscard]] QImage cornerMask() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
