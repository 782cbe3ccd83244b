#pragma once

#include "tools/MRKOSmallButton.h"

/// The two-state small button of the scissors and the hand: its alternate icon while on.
class MRKOSmallToggleButton final : public MRKOSmallButton
{
    Q_OBJECT
public:
    using MRKOSmallButton::MRKOSmallButton;

protected:
    void drawRect(QPainter &painter, const QRectF &rect) override;
};
