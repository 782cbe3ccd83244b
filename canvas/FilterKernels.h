#pragma once

#include "platform/FilterImage.h"

#include <QRect>

#include <variant>
#include <vector>

namespace inkora {

/// A colour handed to a kernel: unpremultiplied sRGB components, 0...1.
struct FilterColor
{
    double r = 0, g = 0, b = 0, a = 1;
};

/// A kernel's argument: an image sampled by the kernel, a number or a colour.
using KernelArgument = std::variant<platform::FilterImage, double, FilterColor>;
/// A kernel computes the pixels of `definition` (the extent of the sampler the caller names) from its arguments.
using FilterKernel = platform::FilterImage (*)(const std::vector<KernelArgument> &arguments, const QRect &definition);

/// The kernel of that name ("outlineInner", "outlineOuter", "verticalDistance", "horizontalDistance",
/// "distanceComposite"), or null. Callers resolve each name once per process.
[[nodiscard]] FilterKernel filterKernelNamed(const char *name);
/// Takes a kernel out of the table, so that a process that has not resolved it yet gets none.
void removeFilterKernel(const char *name);

/// Squared Euclidean distances, in pixels, from every pixel of a w × h grid (row-major) to the nearest pixel that
/// is a target; infinity where no target exists.
[[nodiscard]] std::vector<float> squaredDistances(const std::vector<bool> &targets, int w, int h);

} // namespace inkora
