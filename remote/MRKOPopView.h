#pragma once

#include <QWidget>

/// The Connect popover's content view: it takes the keyboard, so that Return connects.
class MRKOPopView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOPopView(QWidget *parent = nullptr);
    [[nodiscard]] bool acceptsFirstResponder() const { return true; }

signals:
    void returnPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
