#pragma once

#include "platform/Layer.h"
#include "platform/TrackingArea.h"

#include <QString>

#include <memory>

/// The hover owner of one button layer: shows the button's template image tinted in the accent colour while the
/// pointer is inside, in light grey otherwise.
class MRKOLayerTracking final : public platform::TrackingAreaOwner,
                                public std::enable_shared_from_this<MRKOLayerTracking>
{
public:
    /// A tracker for the layer; the image shows at once.
    [[nodiscard]] static std::shared_ptr<MRKOLayerTracking>
    layerTracking(const platform::LayerPtr &layer, const QString &imageName, double backingScale);

    void mouseEntered(const platform::Event &event) override;
    void mouseExited(const platform::Event &event) override;
    /// As a pointer exit, without an event.
    void exitMouse();
    void updateImage();
    /// A new area over the layer's frame in its superlayer's superlayer (the view's points), entered and exited,
    /// always active.
    [[nodiscard]] platform::TrackingAreaPtr trackingArea();

    [[nodiscard]] bool entered() const { return m_entered; }
    [[nodiscard]] platform::LayerPtr layer() const { return m_layer.lock(); }
    [[nodiscard]] const QString &imageName() const { return m_imageName; }
    [[nodiscard]] double backingScale() const { return m_backingScale; }

private:
    MRKOLayerTracking() = default;

    bool m_entered = false;
    std::weak_ptr<platform::Layer> m_layer;
    QString m_imageName;
    double m_backingScale = 1;
};
