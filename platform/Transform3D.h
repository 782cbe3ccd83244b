#pragma once

#include <QMatrix4x4>

#include <array>
#include <optional>

namespace platform {

/// A 4 × 4 transform in doubles, acting on column vectors (x, y, z, 1) as QMatrix4x4 does: element (row, column),
/// so (3, 2) is the entry that adds z times itself to w. Layers take it as a QMatrix4x4.
class Transform3D
{
public:
    /// The identity.
    Transform3D();

    [[nodiscard]] double operator()(int row, int column) const { return m_m[size_t(row * 4 + column)]; }
    double &operator()(int row, int column) { return m_m[size_t(row * 4 + column)]; }

    /// this × other: `other` acts on a point first.
    [[nodiscard]] Transform3D operator*(const Transform3D &other) const;
    friend bool operator==(const Transform3D &, const Transform3D &) = default;

    [[nodiscard]] static Transform3D translation(double tx, double ty, double tz);
    /// A turn by `radians` about the axis (x, y, z), right-handed.
    [[nodiscard]] static Transform3D rotation(double radians, double x, double y, double z);
    /// This with the translation applied to points first (this × translation).
    [[nodiscard]] Transform3D translated(double tx, double ty, double tz) const;
    /// This with the rotation applied to points first (this × rotation).
    [[nodiscard]] Transform3D rotated(double radians, double x, double y, double z) const;

    [[nodiscard]] bool isIdentity() const { return *this == Transform3D(); }
    [[nodiscard]] QMatrix4x4 toMatrix() const;
    [[nodiscard]] static Transform3D fromMatrix(const QMatrix4x4 &matrix);

    /// The parts of a transform: perspective (x, y, z, w), translation, a rotation quaternion (x, y, z, w), skew
    /// (xy, xz, yz) and scale.
    struct Decomposed
    {
        std::array<double, 4> perspective{0, 0, 0, 1};
        std::array<double, 3> translation{0, 0, 0};
        std::array<double, 4> quaternion{0, 0, 0, 1};
        std::array<double, 3> skew{0, 0, 0};
        std::array<double, 3> scale{1, 1, 1};
    };
    /// Nothing for a transform that cannot be taken apart (singular).
    [[nodiscard]] std::optional<Decomposed> decomposed() const;
    [[nodiscard]] static Transform3D recomposed(const Decomposed &parts);
    /// Part by part: linear, the rotation by spherical interpolation.
    [[nodiscard]] static Decomposed interpolate(const Decomposed &from, const Decomposed &to, double fraction);

private:
    std::array<double, 16> m_m{}; // row-major
};

} // namespace platform
