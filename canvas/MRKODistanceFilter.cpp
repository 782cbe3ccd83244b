#include "canvas/MRKODistanceFilter.h"

#include "foundation/InkoraLog.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

constexpr double kMaxMargin = 1 << 20; // pixels; beyond this no working rectangle fits the filters anyway

} // namespace

MRKODistanceFilter MRKODistanceFilter::innerFilterWithImageAndRadius(const platform::FilterImage &image, double radius)
{
    MRKODistanceFilter filter;
    filter.setInputImage(image);
    filter.setRadius(radius);
    return filter;
}

MRKODistanceFilter MRKODistanceFilter::outerFilterWithImageAndRadius(const platform::FilterImage &image, double radius)
{
    MRKODistanceFilter filter = innerFilterWithImageAndRadius(image, radius);
    filter.setOuter(true);
    return filter;
}

QRect MRKODistanceFilter::workingRect() const
{
    const QRect e = m_inputImage.isNull() || m_inputImage.isInfinite() ? QRect() : m_inputImage.pixelExtent();
    const int p = m_outer ? 2 * int(std::trunc(std::clamp(m_radius, -kMaxMargin, kMaxMargin))) : 2;
    return QRect(e.x() - p, e.y() - p, e.width() + 2 * p, e.height() + 2 * p);
}

platform::FilterImage MRKODistanceFilter::outputImage() const
{
    if (!std::isfinite(m_radius)) {
        qCWarning(lcCanvas, "Distance filter: the radius is not a finite number");
        return {};
    }
    const QRect working = workingRect();
    if (working.isEmpty())
        return {};
    if (qint64(working.width()) * working.height() > platform::FilterImage::kMaxPixels) {
        qCWarning(lcCanvas, "Distance filter: a working rectangle of %d x %d pixels is too large", working.width(),
                  working.height());
        return {};
    }
    const double background = m_outer ? 0.0 : 1.0;
    const double shape = 1.0 - background;
    const platform::FilterImage shapeColor =
        platform::FilterImage::withColor(shape, shape, shape).cropped(working).sourceIn(m_inputImage);
    const platform::FilterImage mask =
        shapeColor.over(platform::FilterImage::withColor(background, background, background).cropped(working));

    platform::FilterImage result;
    if (const inkora::FilterKernel vertical = verticalDistance()) {
        const platform::FilterImage v = vertical({mask, m_radius}, mask.pixelExtent());
        const inkora::FilterKernel horizontal = horizontalDistance();
        result = horizontal && !v.isNull() ? horizontal({v, m_radius}, v.pixelExtent()) : platform::FilterImage();
    } else {
        result = mask.inverted().boxBlurred(2 * m_radius).cropped(working);
    }
    if (m_outer)
        result = result.inverted();
    return result;
}

platform::FilterImage MRKODistanceFilter::accumImage() const
{
    const platform::FilterImage output = outputImage();
    if (output.isNull())
        return {};
    const QRect f = output.pixelExtent();
    return output.translated(-f.x(), -f.y()).quantized8().translated(f.x(), f.y());
}

inkora::FilterKernel MRKODistanceFilter::verticalDistance()
{
    static std::once_flag once;
    static inkora::FilterKernel kernel = nullptr;
    std::call_once(once, [] { kernel = inkora::filterKernelNamed("verticalDistance"); });
    return kernel;
}

inkora::FilterKernel MRKODistanceFilter::horizontalDistance()
{
    static std::once_flag once;
    static inkora::FilterKernel kernel = nullptr;
    std::call_once(once, [] { kernel = inkora::filterKernelNamed("horizontalDistance"); });
    return kernel;
}
