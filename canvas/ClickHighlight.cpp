#include "canvas/ClickHighlight.h"

#include "platform/Animation.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"

#include <QPainterPath>

#include <array>
#include <memory>
#include <vector>

namespace inkora {

namespace {

constexpr double kRayDuration = 0.35; // seconds
constexpr double kRingDuration = 0.5; // seconds
constexpr QPointF kRayCentre(62, 62); // of the 124-point square of each ray
constexpr QPointF kRingCentre(102.5, 102.5);

std::shared_ptr<platform::BasicAnimation> basicAnimation(const char *key, const QVariant &from, const QVariant &to,
                                                         double duration)
{
    auto basic = std::make_shared<platform::BasicAnimation>(QLatin1String(key));
    if (from.isValid())
        basic->setFromValue(from);
    basic->setToValue(to);
    basic->setDuration(duration);
    basic->setFillMode(platform::Animation::FillMode::Forwards);
    basic->setRemovedOnCompletion(false);
    return basic;
}

QPainterPath circle(double radius)
{
    QPainterPath path;
    path.addEllipse(kRingCentre, radius, radius);
    return path;
}

} // namespace

void addRayBurst(platform::Layer &parent, QPointF point, const QColor &color)
{
    static constexpr std::array<QPointF, 8> kEnds = {
        QPointF(62, 122),        QPointF(62, 2),         QPointF(122, 62),      QPointF(2, 62),
        QPointF(104.42, 104.42), QPointF(104.42, 19.58), QPointF(19.58, 19.58), QPointF(19.58, 104.42),
    };
    std::vector<std::shared_ptr<platform::ShapeLayer>> rays;
    {
        platform::TransactionScope setUp(true);
        for (const QPointF &end : kEnds) {
            auto ray = platform::ShapeLayer::create();
            ray->setFrame(QRectF(point - kRayCentre, QSizeF(124, 124)));
            QPainterPath path(kRayCentre);
            path.lineTo(end);
            ray->setPath(path);
            ray->setStrokeEnd(0.35);
            ray->setLineWidth(4.0);
            ray->setLineCap(Qt::RoundCap);
            ray->setStrokeColor(color);
            ray->setFillColor(QColor());
            parent.addSublayer(ray);
            rays.push_back(ray);
        }
    }
    platform::Transaction::begin();
    // Weak: the layers hold their animations, whose completion must not hold the layers.
    std::vector<std::weak_ptr<platform::ShapeLayer>> weakRays(rays.begin(), rays.end());
    platform::Transaction::setCompletionBlock([weakRays] {
        for (const auto &weak : weakRays) {
            if (const auto ray = weak.lock())
                ray->removeFromSuperlayer();
        }
    });
    const auto eased = platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut);
    auto strokeStart = basicAnimation("strokeStart", {}, 1.0, kRayDuration);
    strokeStart->setTimingFunction(eased);
    auto strokeEnd = basicAnimation("strokeEnd", 0.35, 1.0, kRayDuration);
    strokeEnd->setTimingFunction(eased);
    platform::AnimationGroup group;
    group.setDuration(kRayDuration);
    group.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::Linear));
    group.setFillMode(platform::Animation::FillMode::Forwards);
    group.setRemovedOnCompletion(false);
    group.setAnimations({strokeStart, strokeEnd, basicAnimation("opacity", {}, 0.0, kRayDuration)});
    for (const auto &ray : rays)
        ray->addAnimation(group);
    platform::Transaction::commit();
}

void addGrowingRing(platform::Layer &parent, QPointF point, const QColor &color)
{
    auto ring = platform::ShapeLayer::create();
    {
        platform::TransactionScope setUp(true);
        ring->setFrame(QRectF(point - kRingCentre, QSizeF(205, 205)));
        ring->setPath(circle(5));
        ring->setLineWidth(5.0);
        ring->setLineCap(Qt::RoundCap);
        ring->setStrokeColor(color);
        ring->setFillColor(QColor());
        parent.addSublayer(ring);
    }
    platform::Transaction::begin();
    platform::Transaction::setCompletionBlock([weak = std::weak_ptr(ring)] {
        if (const auto layer = weak.lock())
            layer->removeFromSuperlayer();
    });
    auto grow = std::make_shared<platform::KeyframeAnimation>(QStringLiteral("path"));
    grow->setValues({QVariant::fromValue(circle(5)), QVariant::fromValue(circle(100))});
    grow->setKeyTimes({0.0, 1.0});
    grow->setDuration(kRingDuration);
    grow->setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut));
    grow->setRemovedOnCompletion(false);
    platform::AnimationGroup group;
    group.setDuration(kRingDuration);
    group.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::Linear));
    group.setFillMode(platform::Animation::FillMode::Forwards);
    group.setRemovedOnCompletion(false);
    group.setAnimations({grow, basicAnimation("opacity", {}, 0.0, kRingDuration)});
    ring->addAnimation(group);
    platform::Transaction::commit();
}

} // namespace inkora
