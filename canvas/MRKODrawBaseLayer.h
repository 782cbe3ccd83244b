#pragma once

#include "platform/Layer.h"

#include <QPointer>

class MRKODraw;

/// A layer that stands in for a canvas's own backing layer: its content is whatever the canvas's drawRect draws
/// for the area being painted.
class MRKODrawBaseLayer final : public platform::Layer
{
public:
    MRKODrawBaseLayer() = default;

    [[nodiscard]] MRKODraw *parentDrawView() const;
    void setParentDrawView(MRKODraw *draw);

    /// Asks the canvas to draw the painter's clip area (the whole bounds without a clip).
    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    QPointer<MRKODraw> m_parentDrawView; // not owned; the canvas owns this layer
};
