#pragma once

#include "platform/Layer.h"

/// The flashlight's feathered edge image, made again only when the shape, the smoothness or the shade colour
/// changes. One shared instance; main thread.
class MRKOFlashlightSmoothCache final
{
public:
    static MRKOFlashlightSmoothCache &sharedCache();

    /// The cached image, made anew when it no longer fits; null when no image can be made.
    [[nodiscard]] platform::ImagePtr image();
    /// A new image of 100 x 100 points with the live smoothness in the current shade colour.
    [[nodiscard]] platform::ImagePtr featherImage() const;

    [[nodiscard]] bool shapeIsRect() const { return m_shapeIsRect; }
    void setShapeIsRect(bool rect) { m_shapeIsRect = rect; }
    [[nodiscard]] bool needsUpdate() const { return m_needsUpdate; }
    void setNeedsUpdate(bool needsUpdate) { m_needsUpdate = needsUpdate; }
    /// How many images image() has made.
    [[nodiscard]] int madeCount() const { return m_madeCount; }

private:
    MRKOFlashlightSmoothCache() = default;

    platform::ImagePtr m_featherCache;
    bool m_cachedFlashLightShapeRect = false;
    double m_cachedFlashLightSmoothness = 0;
    bool m_shapeIsRect = false;
    bool m_needsUpdate = false;
    int m_madeCount = 0;
};
