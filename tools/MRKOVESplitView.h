#pragma once

#include <QWidget>

/// The tool panel's content: the button pane on the left and, while open, the options side panel to its right.
class MRKOVESplitView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOVESplitView(QWidget *parent = nullptr);

    /// Puts the panes side by side, each at its own width, over the whole height.
    void adjustSubviews();
    [[nodiscard]] bool mouseDownCanMoveWindow() const { return true; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;
};
