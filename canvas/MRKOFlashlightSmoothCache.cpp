#include "canvas/MRKOFlashlightSmoothCache.h"

#include "app/LiveSettings.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "tools/MRKOToolColor.h"

namespace {

constexpr double kFeatherSize = 100; // points; the layer stretches the image over the hole
constexpr double kFeatherScale = 2;  // pixels per point, so that a large hole keeps a smooth edge

} // namespace

MRKOFlashlightSmoothCache &MRKOFlashlightSmoothCache::sharedCache()
{
    static MRKOFlashlightSmoothCache cache;
    return cache;
}

platform::ImagePtr MRKOFlashlightSmoothCache::image()
{
    const double smoothness = inkora::liveSettings().flashlightEdgeSmoothness;
    if (m_featherCache && !m_needsUpdate && m_cachedFlashLightShapeRect == m_shapeIsRect &&
        m_cachedFlashLightSmoothness == smoothness)
        return m_featherCache;
    m_featherCache = featherImage();
    ++m_madeCount;
    m_cachedFlashLightShapeRect = m_shapeIsRect;
    m_cachedFlashLightSmoothness = smoothness;
    m_needsUpdate = false;
    return m_featherCache;
}

platform::ImagePtr MRKOFlashlightSmoothCache::featherImage() const
{
    const double feather = inkora::liveSettings().flashlightEdgeSmoothness;
    const QColor shade = MRKOToolColor::flashlightColor().toQColor();
    const QSizeF size(kFeatherSize, kFeatherSize);
    QImage image = m_shapeIsRect ? ImageNamedWithColor::linearImageWithSize(size, feather, shade, kFeatherScale)
                                 : ImageNamedWithColor::radialImageWithSize(size, feather, shade, kFeatherScale);
    if (image.isNull())
        return nullptr;
    return std::make_shared<const QImage>(std::move(image));
}
