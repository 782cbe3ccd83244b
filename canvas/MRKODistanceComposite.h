#pragma once

#include "canvas/FilterKernels.h"
#include "platform/FilterImage.h"

/// Weighs an input image by the grey of an inverted distance field.
class MRKODistanceComposite final
{
public:
    [[nodiscard]] const platform::FilterImage &invertImage() const { return m_invertImage; }
    void setInvertImage(const platform::FilterImage &image) { m_invertImage = image; }
    [[nodiscard]] const platform::FilterImage &inputImage() const { return m_inputImage; }
    void setInputImage(const platform::FilterImage &image) { m_inputImage = image; }

    /// Over the input's extent; null, with a line, without the kernel.
    [[nodiscard]] platform::FilterImage outputImage() const;

    [[nodiscard]] static inkora::FilterKernel distanceComposite();

private:
    platform::FilterImage m_invertImage;
    platform::FilterImage m_inputImage;
};
