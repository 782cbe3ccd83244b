#include "canvas/MRKOOutlineFilter.h"

#include "foundation/InkoraLog.h"

#include <cmath>
#include <mutex>

platform::FilterImage MRKOOutlineFilter::outputImage() const
{
    const inkora::FilterKernel kernel = m_outer ? outlineOuter() : outlineInner();
    if (!kernel) {
        qCWarning(lcCanvas, "Outline filter: the %s outline kernel is missing", m_outer ? "outer" : "inner");
        return {};
    }
    if (!m_color) {
        qCWarning(lcCanvas, "Outline filter: no outline colour");
        return {};
    }
    if (!std::isfinite(m_radius)) {
        qCWarning(lcCanvas, "Outline filter: the radius is not a finite number");
        return {};
    }
    if (m_inputImage.isNull() || m_inputImage.isInfinite())
        return {};
    return kernel({m_inputImage, m_radius, *m_color}, m_inputImage.pixelExtent());
}

inkora::FilterKernel MRKOOutlineFilter::outlineInner()
{
    static std::once_flag once;
    static inkora::FilterKernel kernel = nullptr;
    std::call_once(once, [] { kernel = inkora::filterKernelNamed("outlineInner"); });
    return kernel;
}

inkora::FilterKernel MRKOOutlineFilter::outlineOuter()
{
    static std::once_flag once;
    static inkora::FilterKernel kernel = nullptr;
    std::call_once(once, [] { kernel = inkora::filterKernelNamed("outlineOuter"); });
    return kernel;
}
