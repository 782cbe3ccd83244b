#pragma once

#include "platform/Event.h"
#include "platform/Layer.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointF>

#include <functional>

/// A pie menu under the pointer: the canvas opens it at a press, hands it every drag and reads the result at the
/// release. Points, y up, in the menu's own coordinates.
class MRKOCircleMenuProtocol
{
public:
    using Action = std::function<void(MRKOCircleMenuProtocol &menu)>;
    /// No item chosen.
    static constexpr quint64 kNotFound = 0x7FFFFFFFFFFFFFFF;

    virtual ~MRKOCircleMenuProtocol() = default;

    /// A length of 0 puts the items 80 points out; a null target or an empty action keeps the one set before.
    virtual void setMenuImages(const QList<QImage> &images, double length, double scale, QObject *target,
                               Action action) = 0;
    virtual void mouseMoved(const platform::Event &event) = 0;
    virtual void mouseUpped() = 0;
    virtual void updateDownPoint() = 0;

    [[nodiscard]] virtual QObject *target() const = 0;
    virtual void setTarget(QObject *target) = 0;
    [[nodiscard]] virtual const Action &action() const = 0;
    virtual void setAction(Action action) = 0;
    [[nodiscard]] virtual quint64 toolType() const = 0;
    virtual void setToolType(quint64 toolType) = 0;
    [[nodiscard]] virtual quint64 rawSelection() const = 0;
    virtual void setRawSelection(quint64 selection) = 0;
    [[nodiscard]] virtual QPointF downPoint() const = 0;
    virtual void setDownPoint(QPointF point) = 0;

    /// The menu's layer tree, for the canvas to add to its own.
    [[nodiscard]] virtual const platform::LayerPtr &layer() const = 0;
};
