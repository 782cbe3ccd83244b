#pragma once

#include "tools/MRKOCircleMenuProtocol.h"

#include <QPointer>
#include <QRectF>

#include <vector>

namespace platform {
class ShapeLayer;
}

/// The radial tool menu: the seven drawing tools on a ring around the press, chosen by the pointer's direction
/// once it is 45 points away. The pointer's position, not the event's, drives it; the item under the pointer's
/// direction at release is the result.
class MRKOCircleMenu : public MRKOCircleMenuProtocol
{
public:
    /// `frame` in the canvas's points (y up).
    explicit MRKOCircleMenu(const QRectF &frame, bool darkAppearance = true);
    ~MRKOCircleMenu() override;

    void setMenuImages(const QList<QImage> &images, double length, double scale, QObject *target,
                       Action action) override;
    void mouseMoved(const platform::Event &event) override;
    void mouseUpped() override;
    void updateDownPoint() override;

    [[nodiscard]] QObject *target() const override { return m_target; }
    void setTarget(QObject *target) override { m_target = target; }
    [[nodiscard]] const Action &action() const override { return m_action; }
    void setAction(Action action) override { m_action = std::move(action); }
    [[nodiscard]] quint64 toolType() const override { return m_toolType; }
    void setToolType(quint64 toolType) override { m_toolType = toolType; }
    [[nodiscard]] quint64 rawSelection() const override { return m_rawSelection; }
    void setRawSelection(quint64 selection) override { m_rawSelection = selection; }
    [[nodiscard]] QPointF downPoint() const override { return m_downPoint; }
    void setDownPoint(QPointF point) override { m_downPoint = point; }
    [[nodiscard]] const platform::LayerPtr &layer() const override { return m_layer; }

    /// Where the pointer is now, in the coordinates of the layer the menu was added to; the canvas sets it.
    void setMouseLocationProvider(std::function<QPointF()> provider) { m_mouseLocation = std::move(provider); }

    [[nodiscard]] double angle() const { return m_angle; }
    [[nodiscard]] double length() const { return m_length; }
    [[nodiscard]] double scale() const { return m_scale; }
    [[nodiscard]] quint64 count() const { return m_count; }
    [[nodiscard]] const std::vector<platform::LayerPtr> &items() const { return m_items; }
    [[nodiscard]] platform::Layer *currentSelection() const { return m_currentSelection; }
    [[nodiscard]] platform::ShapeLayer *lineLayer() const { return m_lineLayer.get(); }

    /// Radians: (start, end) of the item's direction interval.
    [[nodiscard]] QPointF radiansRangeForItemAtIndex(quint64 index) const;
    [[nodiscard]] QPointF pointForItemAtIndex(quint64 index) const;
    /// The item whose interval holds `beta` strictly; the last one when none does.
    [[nodiscard]] quint64 indexForBeta(double beta) const;
    /// The tool type of a tool-menu index: Brush, Quick Arrow, Arrow, Line, Rectangle, Ellipse, Text; else 0.
    [[nodiscard]] static quint64 toolTypeForIndex(quint64 index);
    void resetCurrentSelection();

protected:
    /// Radians between items.
    [[nodiscard]] virtual double stepAngle() const;
    /// Sets `rawSelection` (and for the tool menu `toolType`) and performs the action.
    virtual void invokeDelegate(quint64 index);
    virtual void applyStateWithImageInLayer(int state, platform::Layer &layer, quint64 index);
    virtual void resetResult();
    [[nodiscard]] const QList<QImage> &images() const { return m_images; }
    void performAction();

private:
    void setUpView();
    [[nodiscard]] QPointF mouseLocationInView() const;

    platform::LayerPtr m_layer;
    std::shared_ptr<platform::ShapeLayer> m_lineLayer;
    std::vector<platform::LayerPtr> m_items;
    std::vector<QPointF> m_ranges;
    platform::Layer *m_currentSelection = nullptr; // one of m_items
    QList<QImage> m_images;
    QPointer<QObject> m_target;
    Action m_action;
    std::function<QPointF()> m_mouseLocation;
    QPointF m_downPoint;
    double m_angle = 0;
    double m_length = 80;
    double m_scale = 1.0;
    quint64 m_count = 0;
    quint64 m_toolType = kNotFound;
    quint64 m_rawSelection = kNotFound;
    bool m_dark = true;
};

/// The radial swatch menu: the ten hue swatches, reporting the chosen swatch's index.
class MRKOCircleSwatchMenu final : public MRKOCircleMenu
{
public:
    using MRKOCircleMenu::MRKOCircleMenu;

protected:
    [[nodiscard]] double stepAngle() const override;
    void invokeDelegate(quint64 index) override;
    void applyStateWithImageInLayer(int state, platform::Layer &layer, quint64 index) override;
    void resetResult() override;
};
