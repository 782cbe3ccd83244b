#pragma once

#include <QWidget>

/// Takes clicks at once, also in an inactive window, without bringing its window forward.
class MRKOPreventOrderingView : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOPreventOrderingView(QWidget *parent = nullptr);

    [[nodiscard]] static bool acceptsFirstMouse() { return true; }
    [[nodiscard]] static bool shouldDelayWindowOrderingForEvent() { return true; }
};
