#pragma once

#include <QFrame>

/// A box that draws a one-point line along its bottom in the hairline colour, over whatever it holds.
class MRKOOneBox final : public QFrame
{
    Q_OBJECT
public:
    explicit MRKOOneBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
