#pragma once

#include "canvas/FilterKernels.h"
#include "platform/FilterImage.h"

#include <optional>

/// Draws the inner or outer outline of an image's shape in one colour, within a radius of its edge.
class MRKOOutlineFilter final
{
public:
    MRKOOutlineFilter() = default;

    [[nodiscard]] const platform::FilterImage &inputImage() const { return m_inputImage; }
    void setInputImage(const platform::FilterImage &image) { m_inputImage = image; }
    [[nodiscard]] double radius() const { return m_radius; }
    void setRadius(double radius) { m_radius = radius; }
    [[nodiscard]] const std::optional<inkora::FilterColor> &color() const { return m_color; }
    void setColor(const std::optional<inkora::FilterColor> &color) { m_color = color; }
    [[nodiscard]] bool outer() const { return m_outer; }
    void setOuter(bool outer) { m_outer = outer; }

    /// The outline over the input's extent; null, with a line, without a kernel, a colour or a finite radius.
    [[nodiscard]] platform::FilterImage outputImage() const;

    [[nodiscard]] static inkora::FilterKernel outlineInner();
    [[nodiscard]] static inkora::FilterKernel outlineOuter();

private:
    platform::FilterImage m_inputImage;
    double m_radius = 10.0;
    std::optional<inkora::FilterColor> m_color;
    bool m_outer = false;
};
