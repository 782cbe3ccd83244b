#pragma once

#include "canvas/FilterKernels.h"
#include "platform/FilterImage.h"

#include <QRect>

/// Turns the shape of an image into a grey distance field, inside or outside the shape, within a radius.
class MRKODistanceFilter final
{
public:
    MRKODistanceFilter() = default;

    [[nodiscard]] static MRKODistanceFilter innerFilterWithImageAndRadius(const platform::FilterImage &image,
                                                                          double radius);
    [[nodiscard]] static MRKODistanceFilter outerFilterWithImageAndRadius(const platform::FilterImage &image,
                                                                          double radius);

    [[nodiscard]] const platform::FilterImage &inputImage() const { return m_inputImage; }
    void setInputImage(const platform::FilterImage &image) { m_inputImage = image; }
    [[nodiscard]] bool outer() const { return m_outer; }
    void setOuter(bool outer) { m_outer = outer; }
    [[nodiscard]] double radius() const { return m_radius; }
    void setRadius(double radius) { m_radius = radius; }

    /// The working rectangle: the input's extent grown by the margin (2, or twice the truncated radius outside).
    [[nodiscard]] QRect workingRect() const;
    /// The distance field over the working rectangle; null, with a line, for a radius that is not finite or a
    /// working rectangle beyond the filters' size.
    [[nodiscard]] platform::FilterImage outputImage() const;
    /// The output held in 8 bits per component, at the output's own position.
    [[nodiscard]] platform::FilterImage accumImage() const;

    [[nodiscard]] static inkora::FilterKernel verticalDistance();
    [[nodiscard]] static inkora::FilterKernel horizontalDistance();

private:
    platform::FilterImage m_inputImage;
    bool m_outer = false;
    double m_radius = 0;
};
