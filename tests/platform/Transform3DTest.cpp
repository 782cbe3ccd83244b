#include "platform/Transform3D.h"

#include "platform/AnimationValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using platform::Transform3D;

// Equal as projective transforms: element by element once both are scaled to w = 1.
void expectNear(const Transform3D &a, const Transform3D &b, double tolerance)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a(i, j) / a(3, 3), b(i, j) / b(3, 3), tolerance) << i << ", " << j;
}

Transform3D perspective(double d)
{
    Transform3D p;
    p(3, 2) = 1 / d;
    return p;
}

TEST(Transform3DTest, ComposesRightToLeft)
{
    // Translate, then turn a quarter about y: x = 1 goes to depth −1 − 2.
    const Transform3D t = Transform3D().rotated(std::numbers::pi / 2, 0, 1, 0).translated(1, 0, 0);
    EXPECT_NEAR(t(2, 0), -1, 1e-15);
    EXPECT_NEAR(t(2, 3), -1, 1e-15);
    EXPECT_TRUE(Transform3D().isIdentity());
    EXPECT_EQ(perspective(700)(3, 2), 1.0 / 700);
}

TEST(Transform3DTest, DecompositionRoundTrips)
{
    const Transform3D cases[] = {
        Transform3D(),
        Transform3D::translation(10, -20, 30),
        perspective(700).rotated(std::numbers::pi / 2, 0, 1, 0).translated(200, 0, -778),
        perspective(700).rotated(0.3, 1, 1, 0).translated(-5, 7, 9),
        Transform3D::rotation(2.5, 0, 0, 1) * Transform3D::translation(3, 4, 5),
    };
    for (const Transform3D &t : cases) {
        const auto parts = t.decomposed();
        ASSERT_TRUE(parts);
        expectNear(Transform3D::recomposed(*parts), t, 1e-3);
    }
    Transform3D flat;
    flat(0, 0) = 0;
    EXPECT_FALSE(flat.decomposed());
}

TEST(Transform3DTest, TurnsInDepthInterpolateAsTurns)
{
    const QMatrix4x4 from = perspective(700).rotated(std::numbers::pi / 2, 0, 1, 0).toMatrix();
    const QMatrix4x4 to = perspective(700).toMatrix();
    const QMatrix4x4 half =
        platform::interpolateValues(QVariant::fromValue(from), QVariant::fromValue(to), 0.5).value<QMatrix4x4>();
    // Halfway the bar is turned 45°, not squashed to half its width.
    EXPECT_NEAR(std::atan2(half(0, 2), half(0, 0)) * 180 / std::numbers::pi, 45, 1e-3);
    EXPECT_NEAR(std::hypot(half(0, 0), half(2, 0)), 1, 1e-5);
    const auto parts = Transform3D::fromMatrix(half).decomposed();
    ASSERT_TRUE(parts);
    EXPECT_NEAR(parts->perspective[2], 1.0 / 700, 1e-7);
}

} // namespace
