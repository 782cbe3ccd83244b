#include "canvas/FilterKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace inkora {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Squared distance along each column to the nearest target of that column.
std::vector<float> columnDistances(const std::vector<bool> &targets, int w, int h)
{
    std::vector<float> out(size_t(w) * size_t(h), kInfinity);
    for (int x = 0; x < w; ++x) {
        float last = kInfinity;
        for (int y = 0; y < h; ++y) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            last = targets[i] ? 0.0f : last + 1.0f;
            out[i] = last;
        }
        last = kInfinity;
        for (int y = h - 1; y >= 0; --y) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            last = targets[i] ? 0.0f : last + 1.0f;
            out[i] = std::min(out[i], last);
        }
    }
    for (float &d : out)
        d = d * d;
    return out;
}

// The lower envelope of the parabolas (x − q)² + f(q) along each row: the exact squared distance when f holds the
// squared column distances.
void rowEnvelope(std::vector<float> &f, int w, int h)
{
    std::vector<float> row(static_cast<size_t>(w));
    std::vector<int> v(static_cast<size_t>(w));
    std::vector<float> z(static_cast<size_t>(w) + 1);
    for (int y = 0; y < h; ++y) {
        float *line = f.data() + size_t(y) * size_t(w);
        std::memcpy(row.data(), line, sizeof(float) * size_t(w));
        int k = -1;
        for (int q = 0; q < w; ++q) {
            if (std::isinf(row[size_t(q)]))
                continue;
            double s = 0;
            while (k >= 0) {
                const int p = v[size_t(k)];
                s = ((row[size_t(q)] + double(q) * q) - (row[size_t(p)] + double(p) * p)) / (2.0 * (q - p));
                if (s > z[size_t(k)])
                    break;
                --k;
            }
            ++k;
            v[size_t(k)] = q;
            z[size_t(k)] = k == 0 ? -kInfinity : float(s);
            z[size_t(k) + 1] = kInfinity;
        }
        if (k < 0)
            continue; // no target on this row or above or below it: infinity stays
        int j = 0;
        for (int q = 0; q < w; ++q) {
            while (z[size_t(j) + 1] < q)
                ++j;
            const int p = v[size_t(j)];
            line[q] = float(q - p) * float(q - p) + row[size_t(p)];
        }
    }
}

float greyOf(const platform::FilterPixel &p)
{
    return p.r; // the masks are opaque greys
}

platform::FilterImage greyImage(const QRect &area, const std::vector<float> &values)
{
    platform::FilterImage out = platform::FilterImage::blank(area);
    if (out.isNull())
        return out;
    const int w = area.width();
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < w; ++x) {
            const float g = values[size_t(y) * size_t(w) + size_t(x)];
            out.setPixel(area.x() + x, area.y() + y, {g, g, g, 1.0f});
        }
    return out;
}

float normalised(float distance, double r)
{
    if (r <= 0)
        return distance > 0 ? 1.0f : 0.0f;
    return std::min(1.0f, float(distance / r));
}

const platform::FilterImage *imageArgument(const std::vector<KernelArgument> &args, size_t i)
{
    return i < args.size() ? std::get_if<platform::FilterImage>(&args[i]) : nullptr;
}

double numberArgument(const std::vector<KernelArgument> &args, size_t i)
{
    const double *n = i < args.size() ? std::get_if<double>(&args[i]) : nullptr;
    return n ? *n : 0.0;
}

// Distance to the nearest pixel of the mask that is at least half white, down the columns only.
platform::FilterImage verticalDistance(const std::vector<KernelArgument> &args, const QRect &definition)
{
    const platform::FilterImage *mask = imageArgument(args, 0);
    if (!mask || definition.isEmpty())
        return {};
    const double r = numberArgument(args, 1);
    const int w = definition.width(), h = definition.height();
    std::vector<bool> white(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            white[size_t(y) * size_t(w) + size_t(x)] =
                greyOf(mask->pixelAt(definition.x() + x, definition.y() + y)) >= 0.5f;
    std::vector<float> d = columnDistances(white, w, h);
    for (float &v : d)
        v = normalised(std::sqrt(v), r);
    return greyImage(definition, d);
}

// Completes the vertical pass along the rows: the grey is the whole Euclidean distance over the radius.
platform::FilterImage horizontalDistance(const std::vector<KernelArgument> &args, const QRect &definition)
{
    const platform::FilterImage *vertical = imageArgument(args, 0);
    if (!vertical || definition.isEmpty())
        return {};
    const double r = numberArgument(args, 1);
    const int w = definition.width(), h = definition.height();
    std::vector<float> f(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float g = greyOf(vertical->pixelAt(definition.x() + x, definition.y() + y));
            float &v = f[size_t(y) * size_t(w) + size_t(x)];
            if (r <= 0)
                v = g < 0.5f ? 0.0f : kInfinity;
            else
                v = g < 1.0f ? float(g * r) * float(g * r) : kInfinity; // at r or beyond: clamped anyway
        }
    rowEnvelope(f, w, h);
    for (float &v : f)
        v = normalised(std::sqrt(v), r);
    return greyImage(definition, f);
}

// The input's pixels whose distance to the other side of the shape's edge (alpha 0.5) is at most the radius,
// painted in the colour.
platform::FilterImage outline(const std::vector<KernelArgument> &args, const QRect &definition, bool outer)
{
    const platform::FilterImage *input = imageArgument(args, 0);
    const FilterColor *color = args.size() > 2 ? std::get_if<FilterColor>(&args[2]) : nullptr;
    if (!input || !color || definition.isEmpty())
        return {};
    const double r = numberArgument(args, 1);
    // One pixel of margin: beyond the input lies the outside of the shape.
    const QRect area = definition.adjusted(-1, -1, 1, 1);
    const int w = area.width(), h = area.height();
    std::vector<bool> targets(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool shape = input->pixelAt(area.x() + x, area.y() + y).a >= 0.5f;
            targets[size_t(y) * size_t(w) + size_t(x)] = outer ? shape : !shape;
        }
    std::vector<float> d = columnDistances(targets, w, h);
    rowEnvelope(d, w, h);
    platform::FilterImage out = platform::FilterImage::blank(definition);
    if (out.isNull())
        return out;
    const float a = float(std::clamp(color->a, 0.0, 1.0));
    const platform::FilterPixel paint{float(color->r) * a, float(color->g) * a, float(color->b) * a, a};
    const double r2 = r * r;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (!targets[i] && d[i] <= r2)
                out.setPixel(area.x() + x, area.y() + y, paint);
        }
    return out;
}

platform::FilterImage outlineInner(const std::vector<KernelArgument> &args, const QRect &definition)
{
    return outline(args, definition, false);
}

platform::FilterImage outlineOuter(const std::vector<KernelArgument> &args, const QRect &definition)
{
    return outline(args, definition, true);
}

// The input scaled by the grey of the inverted distance image.
platform::FilterImage distanceComposite(const std::vector<KernelArgument> &args, const QRect &definition)
{
    const platform::FilterImage *invert = imageArgument(args, 0);
    const platform::FilterImage *input = imageArgument(args, 1);
    platform::FilterImage out = platform::FilterImage::blank(definition);
    if (!invert || !input || out.isNull())
        return {};
    for (int y = definition.y(); y <= definition.bottom(); ++y)
        for (int x = definition.x(); x <= definition.right(); ++x) {
            const platform::FilterPixel p = input->pixelAt(x, y);
            const float k = greyOf(invert->pixelAt(x, y));
            out.setPixel(x, y, {p.r * k, p.g * k, p.b * k, p.a * k});
        }
    return out;
}

struct Entry
{
    const char *name;
    FilterKernel kernel;
};

std::mutex s_tableMutex;
Entry s_table[] = {
    {"outlineInner", &outlineInner},           {"outlineOuter", &outlineOuter},
    {"verticalDistance", &verticalDistance},   {"horizontalDistance", &horizontalDistance},
    {"distanceComposite", &distanceComposite},
};

} // namespace

FilterKernel filterKernelNamed(const char *name)
{
    const std::lock_guard lock(s_tableMutex);
    for (const Entry &e : s_table)
        if (std::strcmp(e.name, name) == 0)
            return e.kernel;
    return nullptr;
}

void removeFilterKernel(const char *name)
{
    const std::lock_guard lock(s_tableMutex);
    for (Entry &e : s_table)
        if (std::strcmp(e.name, name) == 0)
            e.kernel = nullptr;
}

std::vector<float> squaredDistances(const std::vector<bool> &targets, int w, int h)
{
    std::vector<float> d = columnDistances(targets, w, h);
    rowEnvelope(d, w, h);
    return d;
}

} // namespace inkora
