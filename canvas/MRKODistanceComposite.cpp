#include "canvas/MRKODistanceComposite.h"

#include "foundation/InkoraLog.h"

#include <mutex>

platform::FilterImage MRKODistanceComposite::outputImage() const
{
    const inkora::FilterKernel kernel = distanceComposite();
    if (!kernel) {
        qCWarning(lcCanvas, "Distance composite: the composite kernel is missing");
        return {};
    }
    if (m_inputImage.isNull() || m_inputImage.isInfinite() || m_invertImage.isNull())
        return {};
    return kernel({m_invertImage, m_inputImage}, m_inputImage.pixelExtent());
}

inkora::FilterKernel MRKODistanceComposite::distanceComposite()
{
    static std::once_flag once;
    static inkora::FilterKernel kernel = nullptr;
    std::call_once(once, [] { kernel = inkora::filterKernelNamed("distanceComposite"); });
    return kernel;
}
