#include "platform/Transform3D.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

using Vec3 = std::array<double, 3>;

double dot(const Vec3 &a, const Vec3 &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double length(const Vec3 &a)
{
    return std::sqrt(dot(a, a));
}

Vec3 scaled(const Vec3 &a, double k)
{
    return {a[0] * k, a[1] * k, a[2] * k};
}

Vec3 combine(const Vec3 &a, const Vec3 &b, double ka, double kb)
{
    return {a[0] * ka + b[0] * kb, a[1] * ka + b[1] * kb, a[2] * ka + b[2] * kb};
}

Vec3 cross(const Vec3 &a, const Vec3 &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

} // namespace

Transform3D::Transform3D()
{
    for (int i = 0; i < 4; ++i)
        (*this)(i, i) = 1;
}

Transform3D Transform3D::operator*(const Transform3D &o) const
{
    Transform3D r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += (*this)(i, k) * o(k, j);
            r(i, j) = sum;
        }
    return r;
}

Transform3D Transform3D::translation(double tx, double ty, double tz)
{
    Transform3D t;
    t(0, 3) = tx;
    t(1, 3) = ty;
    t(2, 3) = tz;
    return t;
}

Transform3D Transform3D::rotation(double radians, double x, double y, double z)
{
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len == 0)
        return {};
    x /= len;
    y /= len;
    z /= len;
    const double c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    Transform3D r;
    r(0, 0) = x * x * k + c;
    r(0, 1) = x * y * k - z * s;
    r(0, 2) = x * z * k + y * s;
    r(1, 0) = y * x * k + z * s;
    r(1, 1) = y * y * k + c;
    r(1, 2) = y * z * k - x * s;
    r(2, 0) = z * x * k - y * s;
    r(2, 1) = z * y * k + x * s;
    r(2, 2) = z * z * k + c;
    return r;
}

Transform3D Transform3D::translated(double tx, double ty, double tz) const
{
    return *this * translation(tx, ty, tz);
}

Transform3D Transform3D::rotated(double radians, double x, double y, double z) const
{
    return *this * rotation(radians, x, y, z);
}

QMatrix4x4 Transform3D::toMatrix() const
{
    QMatrix4x4 m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m(i, j) = float((*this)(i, j));
    return m;
}

Transform3D Transform3D::fromMatrix(const QMatrix4x4 &matrix)
{
    Transform3D t;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            t(i, j) = double(matrix(i, j));
    return t;
}

std::optional<Transform3D::Decomposed> Transform3D::decomposed() const
{
    // this = P · T · R · K · S: P perspective (identity but the last row), T translation, R rotation, K skew
    // (upper triangular), S scale.
    const double w = (*this)(3, 3);
    if (w == 0 || !std::isfinite(w))
        return std::nullopt;
    Transform3D m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m(i, j) = (*this)(i, j) / w;
    // N = T · R · K · S: the same rows but for the last.
    Transform3D n = m;
    n(3, 0) = n(3, 1) = n(3, 2) = 0;
    n(3, 3) = 1;
    const QMatrix4x4 nq = n.toMatrix();
    bool invertible = false;
    const QMatrix4x4 nInverse = nq.inverted(&invertible);
    if (!invertible)
        return std::nullopt;

    Decomposed d;
    if (m(3, 0) != 0 || m(3, 1) != 0 || m(3, 2) != 0) {
        // The last row of m is the perspective row times N.
        for (int i = 0; i < 4; ++i) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m(3, k) * double(nInverse(k, i));
            d.perspective[size_t(i)] = sum;
        }
    }
    for (int i = 0; i < 3; ++i)
        d.translation[size_t(i)] = m(i, 3);

    std::array<Vec3, 3> col{};
    for (int i = 0; i < 3; ++i)
        col[size_t(i)] = {m(0, i), m(1, i), m(2, i)};
    d.scale[0] = length(col[0]);
    if (d.scale[0] == 0)
        return std::nullopt;
    col[0] = scaled(col[0], 1 / d.scale[0]);
    d.skew[0] = dot(col[0], col[1]);
    col[1] = combine(col[1], col[0], 1.0, -d.skew[0]);
    d.scale[1] = length(col[1]);
    if (d.scale[1] == 0)
        return std::nullopt;
    col[1] = scaled(col[1], 1 / d.scale[1]);
    d.skew[0] /= d.scale[1];
    d.skew[1] = dot(col[0], col[2]);
    col[2] = combine(col[2], col[0], 1.0, -d.skew[1]);
    d.skew[2] = dot(col[1], col[2]);
    col[2] = combine(col[2], col[1], 1.0, -d.skew[2]);
    d.scale[2] = length(col[2]);
    if (d.scale[2] == 0)
        return std::nullopt;
    col[2] = scaled(col[2], 1 / d.scale[2]);
    d.skew[1] /= d.scale[2];
    d.skew[2] /= d.scale[2];
    if (dot(col[0], cross(col[1], col[2])) < 0) {
        for (size_t i = 0; i < 3; ++i) {
            d.scale[i] = -d.scale[i];
            col[i] = scaled(col[i], -1);
        }
    }
    // R(i, j) = col[j][i].
    const auto r = [&col](size_t i, size_t j) { return col[j][i]; };
    auto &q = d.quaternion;
    q[0] = 0.5 * std::sqrt(std::max(1 + r(0, 0) - r(1, 1) - r(2, 2), 0.0));
    q[1] = 0.5 * std::sqrt(std::max(1 - r(0, 0) + r(1, 1) - r(2, 2), 0.0));
    q[2] = 0.5 * std::sqrt(std::max(1 - r(0, 0) - r(1, 1) + r(2, 2), 0.0));
    q[3] = 0.5 * std::sqrt(std::max(1 + r(0, 0) + r(1, 1) + r(2, 2), 0.0));
    if (r(2, 1) < r(1, 2))
        q[0] = -q[0];
    if (r(0, 2) < r(2, 0))
        q[1] = -q[1];
    if (r(1, 0) < r(0, 1))
        q[2] = -q[2];
    return d;
}

Transform3D Transform3D::recomposed(const Decomposed &d)
{
    Transform3D p;
    for (int i = 0; i < 4; ++i)
        p(3, i) = d.perspective[size_t(i)];
    const double x = d.quaternion[0], y = d.quaternion[1], z = d.quaternion[2], w = d.quaternion[3];
    Transform3D r;
    r(0, 0) = 1 - 2 * (y * y + z * z);
    r(0, 1) = 2 * (x * y - z * w);
    r(0, 2) = 2 * (x * z + y * w);
    r(1, 0) = 2 * (x * y + z * w);
    r(1, 1) = 1 - 2 * (x * x + z * z);
    r(1, 2) = 2 * (y * z - x * w);
    r(2, 0) = 2 * (x * z - y * w);
    r(2, 1) = 2 * (y * z + x * w);
    r(2, 2) = 1 - 2 * (x * x + y * y);
    Transform3D k;
    k(0, 1) = d.skew[0];
    k(0, 2) = d.skew[1];
    k(1, 2) = d.skew[2];
    Transform3D s;
    for (int i = 0; i < 3; ++i)
        s(i, i) = d.scale[size_t(i)];
    return p * translation(d.translation[0], d.translation[1], d.translation[2]) * r * k * s;
}

Transform3D::Decomposed Transform3D::interpolate(const Decomposed &a, const Decomposed &b, double f)
{
    const auto mix = [f](double x, double y) { return x + (y - x) * f; };
    Decomposed r;
    for (size_t i = 0; i < 4; ++i)
        r.perspective[i] = mix(a.perspective[i], b.perspective[i]);
    for (size_t i = 0; i < 3; ++i) {
        r.translation[i] = mix(a.translation[i], b.translation[i]);
        r.skew[i] = mix(a.skew[i], b.skew[i]);
        r.scale[i] = mix(a.scale[i], b.scale[i]);
    }
    double product = 0;
    for (size_t i = 0; i < 4; ++i)
        product += a.quaternion[i] * b.quaternion[i];
    product = std::clamp(product, -1.0, 1.0);
    if (std::abs(product) >= 1.0) {
        r.quaternion = a.quaternion;
        return r;
    }
    const double theta = std::acos(product);
    const double w = std::sin(f * theta) / std::sqrt(1 - product * product);
    for (size_t i = 0; i < 4; ++i)
        r.quaternion[i] = a.quaternion[i] * std::cos(f * theta) - a.quaternion[i] * product * w + b.quaternion[i] * w;
    return r;
}

} // namespace platform
