#include "platform/Layer.h"

#include "platform/Animation.h"
#include "platform/Clock.h"
#include "platform/Dispatch.h"
#include "platform/LayerRenderer.h"
#include "platform/PlatformLog.h"
#include "platform/Services.h"
#include "platform/Transaction.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

const QString kBounds = QStringLiteral("bounds");
const QString kPosition = QStringLiteral("position");
const QString kAnchorPoint = QStringLiteral("anchorPoint");
const QString kTransform = QStringLiteral("transform");
const QString kZPosition = QStringLiteral("zPosition");
const QString kOpacity = QStringLiteral("opacity");
const QString kHidden = QStringLiteral("hidden");
const QString kBackgroundColor = QStringLiteral("backgroundColor");
const QString kBorderColor = QStringLiteral("borderColor");
const QString kBorderWidth = QStringLiteral("borderWidth");
const QString kCornerRadius = QStringLiteral("cornerRadius");
const QString kShadowColor = QStringLiteral("shadowColor");
const QString kShadowOpacity = QStringLiteral("shadowOpacity");
const QString kShadowOffset = QStringLiteral("shadowOffset");
const QString kShadowRadius = QStringLiteral("shadowRadius");

const QString *const kStateKeys[] = {&kBounds,       &kPosition,    &kAnchorPoint,     &kTransform,    &kZPosition,
                                     &kOpacity,      &kHidden,      &kBackgroundColor, &kBorderColor,  &kBorderWidth,
                                     &kCornerRadius, &kShadowColor, &kShadowOpacity,   &kShadowOffset, &kShadowRadius};

QVariant stateValue(const Layer::State &s, const QString &key)
{
    if (key == kBounds)
        return s.bounds;
    if (key == kPosition)
        return s.position;
    if (key == kAnchorPoint)
        return s.anchorPoint;
    if (key == kTransform)
        return s.transform;
    if (key == kZPosition)
        return s.zPosition;
    if (key == kOpacity)
        return s.opacity;
    if (key == kHidden)
        return s.hidden;
    if (key == kBackgroundColor)
        return s.backgroundColor;
    if (key == kBorderColor)
        return s.borderColor;
    if (key == kBorderWidth)
        return s.borderWidth;
    if (key == kCornerRadius)
        return s.cornerRadius;
    if (key == kShadowColor)
        return s.shadowColor;
    if (key == kShadowOpacity)
        return s.shadowOpacity;
    if (key == kShadowOffset)
        return s.shadowOffset;
    if (key == kShadowRadius)
        return s.shadowRadius;
    return {};
}

void setStateValue(Layer::State &s, const QString &key, const QVariant &v)
{
    if (key == kBounds)
        s.bounds = v.toRectF();
    else if (key == kPosition)
        s.position = v.toPointF();
    else if (key == kAnchorPoint)
        s.anchorPoint = v.toPointF();
    else if (key == kTransform)
        s.transform = v.value<QMatrix4x4>();
    else if (key == kZPosition)
        s.zPosition = v.toDouble();
    else if (key == kOpacity)
        s.opacity = v.toDouble();
    else if (key == kHidden)
        s.hidden = v.toBool();
    else if (key == kBackgroundColor)
        s.backgroundColor = v.value<QColor>();
    else if (key == kBorderColor)
        s.borderColor = v.value<QColor>();
    else if (key == kBorderWidth)
        s.borderWidth = v.toDouble();
    else if (key == kCornerRadius)
        s.cornerRadius = v.toDouble();
    else if (key == kShadowColor)
        s.shadowColor = v.value<QColor>();
    else if (key == kShadowOpacity)
        s.shadowOpacity = v.toDouble();
    else if (key == kShadowOffset)
        s.shadowOffset = v.toPointF();
    else if (key == kShadowRadius)
        s.shadowRadius = v.toDouble();
}

} // namespace

QTransform Layer::transformForState(const State &s)
{
    const QRectF b = s.bounds;
    const QPointF anchorInBounds(b.x() + s.anchorPoint.x() * b.width(), b.y() + s.anchorPoint.y() * b.height());
    QTransform t = QTransform::fromTranslate(-anchorInBounds.x(), -anchorInBounds.y());
    if (!s.transform.isIdentity())
        t *= s.transform.toTransform();
    t *= QTransform::fromTranslate(s.position.x(), s.position.y());
    return t;
}

QTransform Layer::flipForBounds(const QRectF &b)
{
    return QTransform(1, 0, 0, -1, 0, 2 * b.y() + b.height());
}

struct Layer::AttachedAnimation
{
    QString key;
    std::shared_ptr<Animation> animation; // the layer's own copy
    double begin = 0;                     // media time
    RunLoop::TimerId timer = 0;
    std::unique_ptr<Transaction::AnimationTicket> ticket;
    bool ended = false; // reached its end; still attached when it is not removed on completion
};

LayerDelegate::LayerDelegate() : m_self(std::make_shared<LayerDelegate *>(this)) {}

LayerDelegate::~LayerDelegate()
{
    *m_self = nullptr;
}

Layer::Layer() = default;

Layer::~Layer()
{
    for (const auto &record : m_animations) {
        if (record->timer)
            RunLoop::main().cancel(record->timer);
        if (!record->ended) {
            if (const auto &stop = record->animation->didStop())
                DispatchQueue::main().async([stop] { stop(false); });
        }
    }
    m_animations.clear();
    for (const auto &sublayer : m_sublayers)
        sublayer->m_superlayer = nullptr;
    if (m_mask)
        m_mask->m_maskOwner = nullptr;
}

double Layer::mediaTime()
{
    return services().clock->now();
}

// Geometry

void Layer::setBounds(const QRectF &bounds)
{
    setStateMember(&State::bounds, bounds, kBounds);
}

void Layer::setPosition(QPointF position)
{
    setStateMember(&State::position, position, kPosition);
}

void Layer::setAnchorPoint(QPointF anchorPoint)
{
    setStateMember(&State::anchorPoint, anchorPoint, kAnchorPoint);
}

QRectF Layer::frame() const
{
    // In the superlayer's own terms: a flipped superlayer reads the same numbers from its top edge.
    return transformForState(m_state).mapRect(m_state.bounds);
}

void Layer::setFrame(const QRectF &frame)
{
    setBounds(QRectF(m_state.bounds.topLeft(), frame.size()));
    setPosition(QPointF(frame.x() + m_state.anchorPoint.x() * frame.width(),
                        frame.y() + m_state.anchorPoint.y() * frame.height()));
}

void Layer::setTransform(const QMatrix4x4 &transform)
{
    setStateMember(&State::transform, transform, kTransform);
}

QTransform Layer::affineTransform() const
{
    return m_state.transform.toTransform();
}

void Layer::setAffineTransform(const QTransform &transform)
{
    setTransform(QMatrix4x4(transform));
}

void Layer::setZPosition(double zPosition)
{
    setStateMember(&State::zPosition, zPosition, kZPosition);
}

void Layer::setGeometryFlipped(bool flipped)
{
    if (m_geometryFlipped == flipped)
        return;
    invalidateVisual();
    m_geometryFlipped = flipped;
    invalidateVisual();
}

// Appearance

void Layer::setOpacity(double opacity)
{
    setStateMember(&State::opacity, opacity, kOpacity);
}

void Layer::setHidden(bool hidden)
{
    setStateMember(&State::hidden, hidden, kHidden);
}

void Layer::setBackgroundColor(const QColor &color)
{
    setStateMember(&State::backgroundColor, color, kBackgroundColor);
}

void Layer::setBorderColor(const QColor &color)
{
    setStateMember(&State::borderColor, color, kBorderColor);
}

void Layer::setBorderWidth(double width)
{
    setStateMember(&State::borderWidth, width, kBorderWidth);
}

void Layer::setCornerRadius(double radius)
{
    setStateMember(&State::cornerRadius, radius, kCornerRadius);
}

void Layer::setMasksToBounds(bool masks)
{
    if (m_masksToBounds == masks)
        return;
    invalidateVisual();
    m_masksToBounds = masks;
    invalidateVisual();
}

void Layer::setMask(LayerPtr mask)
{
    if (mask == m_mask)
        return;
    if (mask && (mask.get() == this || mask->m_superlayer || mask->m_maskOwner)) {
        qCWarning(lcPlatform) << "setMask: the mask belongs to another layer; mask not set";
        return;
    }
    invalidateVisual();
    if (m_mask)
        m_mask->m_maskOwner = nullptr;
    m_mask = std::move(mask);
    if (m_mask)
        m_mask->m_maskOwner = this;
    invalidateVisual();
}

void Layer::setShadowColor(const QColor &color)
{
    setStateMember(&State::shadowColor, color, kShadowColor);
}

void Layer::setShadowOpacity(double opacity)
{
    setStateMember(&State::shadowOpacity, opacity, kShadowOpacity);
}

void Layer::setShadowOffset(QPointF offset)
{
    setStateMember(&State::shadowOffset, offset, kShadowOffset);
}

void Layer::setShadowRadius(double radius)
{
    setStateMember(&State::shadowRadius, radius, kShadowRadius);
}

void Layer::setShadowPath(std::optional<QPainterPath> path)
{
    invalidateVisual();
    m_shadowPath = std::move(path);
    invalidateVisual();
}

void Layer::setContents(ImagePtr contents)
{
    if (contents == m_contents)
        return;
    m_contents = std::move(contents);
    invalidateVisual();
}

void Layer::setContentsScale(double scale)
{
    if (scale == m_contentsScale)
        return;
    m_contentsScale = scale;
    invalidateVisual();
}

void Layer::setContentsGravity(ContentsGravity gravity)
{
    if (gravity == m_contentsGravity)
        return;
    m_contentsGravity = gravity;
    invalidateVisual();
}

void Layer::setMagnificationFilter(Filter filter)
{
    m_magnificationFilter = filter;
    invalidateVisual();
}

void Layer::setMinificationFilter(Filter filter)
{
    m_minificationFilter = filter;
    invalidateVisual();
}

void Layer::setDelegate(LayerDelegate *delegate)
{
    m_delegate = delegate ? delegate->m_self : nullptr;
    invalidateVisual();
}

// Tree

void Layer::setSublayers(const std::vector<LayerPtr> &sublayers)
{
    const std::vector<LayerPtr> old = m_sublayers; // keeps them alive while they leave
    for (const auto &layer : old)
        layer->removeFromSuperlayer();
    for (const auto &layer : sublayers)
        addSublayer(layer);
}

void Layer::addSublayer(const LayerPtr &layer)
{
    insertAt(layer, m_sublayers.size());
}

void Layer::insertSublayer(const LayerPtr &layer, size_t index)
{
    insertAt(layer, index);
}

void Layer::insertSublayerBelow(const LayerPtr &layer, const Layer *sibling)
{
    const auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                                 [sibling](const LayerPtr &l) { return l.get() == sibling; });
    if (it == m_sublayers.end() || sibling == layer.get()) {
        insertAt(layer, 0);
        return;
    }
    // The sibling's index may shift when `layer` leaves this same superlayer: find it again after the removal.
    const LayerPtr keep = layer;
    if (keep && keep->m_superlayer == this)
        keep->removeFromSuperlayer();
    const auto again = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                                    [sibling](const LayerPtr &l) { return l.get() == sibling; });
    insertAt(keep, size_t(again - m_sublayers.begin()));
}

void Layer::insertSublayerAbove(const LayerPtr &layer, const Layer *sibling)
{
    const auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                                 [sibling](const LayerPtr &l) { return l.get() == sibling; });
    if (it == m_sublayers.end() || sibling == layer.get()) {
        insertAt(layer, m_sublayers.size());
        return;
    }
    const LayerPtr keep = layer;
    if (keep && keep->m_superlayer == this)
        keep->removeFromSuperlayer();
    const auto again = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                                    [sibling](const LayerPtr &l) { return l.get() == sibling; });
    insertAt(keep, size_t(again - m_sublayers.begin()) + 1);
}

void Layer::replaceSublayer(const Layer *oldLayer, const LayerPtr &newLayer)
{
    const auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(),
                                 [oldLayer](const LayerPtr &l) { return l.get() == oldLayer; });
    if (it == m_sublayers.end()) {
        qCWarning(lcPlatform) << "replaceSublayer: the old layer is not a sublayer; nothing replaced";
        return;
    }
    if (oldLayer == newLayer.get())
        return;
    const size_t index = size_t(it - m_sublayers.begin());
    const LayerPtr old = *it; // alive until the end of the swap
    old->removeFromSuperlayer();
    insertAt(newLayer, index);
}

void Layer::insertAt(const LayerPtr &layer, size_t index)
{
    if (!layer) {
        qCWarning(lcPlatform) << "addSublayer: no layer given; nothing added";
        return;
    }
    for (const Layer *l = this; l; l = l->geometryParent()) {
        if (l == layer.get()) {
            qCWarning(lcPlatform) << "addSublayer: a layer cannot contain itself; nothing added";
            return;
        }
    }
    if (layer->m_maskOwner) {
        qCWarning(lcPlatform) << "addSublayer: the layer is a mask; nothing added";
        return;
    }
    const LayerPtr keep = layer;
    if (keep->m_superlayer)
        keep->removeFromSuperlayer();
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + std::ptrdiff_t(index), keep);
    keep->m_superlayer = this;
    keep->invalidateVisual();
}

void Layer::removeFromSuperlayer()
{
    Layer *parent = m_superlayer;
    if (!parent)
        return;
    invalidateVisual();
    const auto it = std::find_if(parent->m_sublayers.begin(), parent->m_sublayers.end(),
                                 [this](const LayerPtr &l) { return l.get() == this; });
    m_superlayer = nullptr;
    if (it != parent->m_sublayers.end()) {
        const LayerPtr keep = *it; // this layer may die when the last owner is the list
        parent->m_sublayers.erase(it);
    }
}

Layer *Layer::rootLayer()
{
    Layer *l = this;
    while (Layer *p = l->geometryParent())
        l = p;
    return l;
}

std::vector<Layer *> Layer::sublayersInDrawingOrder(bool presentation) const
{
    std::vector<std::pair<double, Layer *>> keyed;
    keyed.reserve(m_sublayers.size());
    for (const auto &l : m_sublayers)
        keyed.emplace_back(presentation && l->hasAnimations() ? l->presentationValue(kZPosition).toDouble()
                                                              : l->m_state.zPosition,
                           l.get());
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Layer *> ordered;
    ordered.reserve(keyed.size());
    for (const auto &k : keyed)
        ordered.push_back(k.second);
    return ordered;
}

// Coordinates

QTransform Layer::transformToSuperlayer(bool presentation) const
{
    QTransform t = transformForState(presentation && hasAnimations() ? presentationState() : m_state);
    if (m_superlayer && m_superlayer->m_geometryFlipped) {
        t *= flipForBounds(m_superlayer->m_state.bounds);
    }
    return t;
}

QTransform Layer::transformToRoot(bool presentation) const
{
    QTransform t;
    for (const Layer *l = this; l; l = l->geometryParent())
        t *= l->transformToSuperlayer(presentation);
    return t;
}

QPointF Layer::convertPointFromLayer(QPointF point, const Layer *other) const
{
    const QPointF inRoot = other ? other->transformToRoot().map(point) : point;
    return transformToRoot().inverted().map(inRoot);
}

QPointF Layer::convertPointToLayer(QPointF point, const Layer *other) const
{
    const QPointF inRoot = transformToRoot().map(point);
    return other ? other->transformToRoot().inverted().map(inRoot) : inRoot;
}

QRectF Layer::convertRectFromLayer(const QRectF &rect, const Layer *other) const
{
    const QTransform toRoot = other ? other->transformToRoot() : QTransform();
    return (toRoot * transformToRoot().inverted()).mapRect(rect);
}

QRectF Layer::convertRectToLayer(const QRectF &rect, const Layer *other) const
{
    const QTransform fromRoot = other ? other->transformToRoot().inverted() : QTransform();
    return (transformToRoot() * fromRoot).mapRect(rect);
}

Layer *Layer::hitTest(QPointF pointInSuperlayer)
{
    if (m_state.hidden)
        return nullptr;
    bool invertible = false;
    const QPointF local = transformToSuperlayer().inverted(&invertible).map(pointInSuperlayer);
    if (!invertible)
        return nullptr;
    const bool inside = containsPoint(local);
    if (m_masksToBounds && !inside)
        return nullptr;
    const std::vector<Layer *> ordered = sublayersInDrawingOrder();
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it)
        if (Layer *hit = (*it)->hitTest(local))
            return hit;
    return inside ? this : nullptr;
}

bool Layer::containsPoint(QPointF point) const
{
    return m_state.bounds.contains(point);
}

// Animations

void Layer::addAnimation(const Animation &animation, const QString &key)
{
    if (!key.isEmpty())
        removeAnimation(key);
    auto record = std::make_shared<AttachedAnimation>();
    record->key = key;
    record->animation = animation.clone();
    record->animation->resolveDuration(Transaction::animationDuration());
    const double now = mediaTime();
    record->begin = animation.beginTime() > 0 ? animation.beginTime() : now;
    record->ticket = std::make_unique<Transaction::AnimationTicket>();
    const double end = record->begin + record->animation->activeDuration();
    if (std::isfinite(end)) {
        const std::weak_ptr<AttachedAnimation> weak = record;
        record->timer = RunLoop::main().schedule(std::max(0.0, end - now), [this, weak] {
            if (const auto r = weak.lock())
                animationReachedEnd(r);
        });
    }
    if (const auto &start = record->animation->didStart())
        DispatchQueue::main().async([start] { start(); });
    m_animations.push_back(record);
    invalidateVisual();
}

void Layer::animationReachedEnd(const std::shared_ptr<AttachedAnimation> &record)
{
    record->timer = 0;
    record->ended = true;
    if (const auto &stop = record->animation->didStop())
        DispatchQueue::main().async([stop] { stop(true); });
    record->ticket->finish();
    if (record->animation->isRemovedOnCompletion()) {
        invalidateVisual();
        std::erase(m_animations, record);
        invalidateVisual();
    }
}

void Layer::stopAnimation(const std::shared_ptr<AttachedAnimation> &record)
{
    if (record->timer)
        RunLoop::main().cancel(record->timer);
    record->timer = 0;
    if (!record->ended) {
        record->ended = true;
        if (const auto &stop = record->animation->didStop())
            DispatchQueue::main().async([stop] { stop(false); });
        record->ticket->finish();
    }
}

void Layer::removeAnimation(const QString &key)
{
    const auto it =
        std::find_if(m_animations.begin(), m_animations.end(), [&key](const auto &r) { return r->key == key; });
    if (it == m_animations.end())
        return;
    invalidateVisual();
    const auto record = *it;
    m_animations.erase(it);
    stopAnimation(record);
    invalidateVisual();
}

void Layer::removeAllAnimations()
{
    if (m_animations.empty())
        return;
    invalidateVisual();
    const auto records = std::move(m_animations);
    m_animations.clear();
    for (const auto &record : records)
        stopAnimation(record);
    invalidateVisual();
}

const Animation *Layer::animationForKey(const QString &key) const
{
    if (key.isEmpty())
        return nullptr;
    for (const auto &r : m_animations)
        if (r->key == key)
            return r->animation.get();
    return nullptr;
}

QStringList Layer::animationKeys() const
{
    QStringList keys;
    for (const auto &r : m_animations)
        if (!r->key.isEmpty())
            keys.append(r->key);
    return keys;
}

bool Layer::hasRunningAnimations() const
{
    for (const auto &r : m_animations)
        if (!r->ended)
            return true;
    return false;
}

bool Layer::hasRunningAnimationsInTree() const
{
    if (hasRunningAnimations())
        return true;
    if (m_mask && m_mask->hasRunningAnimationsInTree())
        return true;
    for (const auto &l : m_sublayers)
        if (l->hasRunningAnimationsInTree())
            return true;
    return false;
}

QVariant Layer::modelValue(const QString &key) const
{
    return stateValue(m_state, key);
}

void Layer::applyAnimations(const QString &key, QVariant &value) const
{
    if (m_animations.empty())
        return;
    const double now = mediaTime();
    for (const auto &r : m_animations)
        if (r->animation->animatesKey(key))
            r->animation->apply(key, now - r->begin, value);
}

QVariant Layer::presentationValue(const QString &key) const
{
    QVariant value = modelValue(key);
    applyAnimations(key, value);
    return value;
}

Layer::State Layer::presentationState() const
{
    State s = m_state;
    if (m_animations.empty())
        return s;
    for (const QString *key : kStateKeys) {
        bool animated = false;
        for (const auto &r : m_animations)
            animated = animated || r->animation->animatesKey(*key);
        if (!animated)
            continue;
        QVariant value = stateValue(m_state, *key);
        applyAnimations(*key, value);
        setStateValue(s, *key, value);
    }
    return s;
}

double Layer::presentationOpacity() const
{
    return presentationValue(kOpacity).toDouble();
}

QMatrix4x4 Layer::presentationTransform() const
{
    return presentationValue(kTransform).value<QMatrix4x4>();
}

QPointF Layer::presentationPosition() const
{
    return presentationValue(kPosition).toPointF();
}

QRectF Layer::presentationBounds() const
{
    return presentationValue(kBounds).toRectF();
}

// Rendering

void Layer::renderInContext(QPainter &painter) const
{
    LayerRenderer::render(*this, painter, {});
}

void Layer::renderPresentationInContext(QPainter &painter, const std::optional<QRectF> &dirtyRect) const
{
    LayerRenderer::Options options;
    options.presentation = true;
    options.dirtyRect = dirtyRect;
    LayerRenderer::render(*this, painter, options);
}

void Layer::drawInContext(QPainter &painter, bool) const
{
    if (LayerDelegate *d = delegate())
        d->drawLayerInContext(const_cast<Layer &>(*this), painter);
}

QRectF Layer::visualRectInSuperlayer(bool presentation) const
{
    const State s = presentation ? presentationState() : m_state;
    QRectF local = s.bounds;
    if (!m_masksToBounds) {
        for (const auto &l : m_sublayers)
            if (!l->m_state.hidden || presentation)
                local |= l->visualRectInSuperlayer(presentation);
    }
    if (s.borderWidth > 0)
        local.adjust(-1, -1, 1, 1); // antialiasing of the edge
    if (s.shadowOpacity > 0) {
        QRectF shadow = m_shadowPath ? m_shadowPath->boundingRect() : local;
        shadow.translate(s.shadowOffset);
        const double blur = s.shadowRadius * 2 + 1;
        local |= shadow.adjusted(-blur, -blur, blur, blur);
    }
    QTransform t = transformForState(s);
    if (m_superlayer && m_superlayer->m_geometryFlipped) {
        t *= flipForBounds(m_superlayer->m_state.bounds);
    }
    return t.mapRect(local);
}

void Layer::setNeedsDisplay()
{
    invalidateVisual();
}

void Layer::setNeedsDisplayInRect(const QRectF &rect)
{
    invalidateRectInRoot(rect);
}

bool Layer::wantsImplicitAnimation() const
{
    return Transaction::wantsImplicitAnimation();
}

void Layer::propertyWillChange()
{
    invalidateVisual();
}

void Layer::propertyDidChange(const QString &key, const QVariant &oldPresentation)
{
    invalidateVisual();
    if (oldPresentation.isValid() && Transaction::wantsImplicitAnimation()) {
        BasicAnimation implicit(key);
        implicit.setFromValue(oldPresentation);
        implicit.setDuration(Transaction::animationDuration());
        implicit.setTimingFunction(Transaction::animationTimingFunction());
        addAnimation(implicit, key);
    }
}

void Layer::invalidateRectInRoot(const QRectF &rectInSelf)
{
    invalidateInSuperlayer(transformToSuperlayer(true).mapRect(rectInSelf));
}

void Layer::invalidateInSuperlayer(const QRectF &rectInSuperlayer)
{
    // Cheap when nobody shows the tree: find the root and its observer first.
    const Layer *root = this;
    while (const Layer *p = root->geometryParent())
        root = p;
    if (!root->m_displayObserver)
        return;
    QRectF rect = rectInSuperlayer;
    for (const Layer *l = geometryParent(); l; l = l->geometryParent()) {
        if (l->m_masksToBounds)
            rect &= l->m_state.bounds;
        rect = l->transformToSuperlayer(true).mapRect(rect);
    }
    if (!rect.isEmpty())
        root->m_displayObserver(rect);
}

void Layer::invalidateVisual()
{
    const Layer *root = this;
    while (const Layer *p = root->geometryParent())
        root = p;
    if (!root->m_displayObserver)
        return;
    // Both the model and the presentation picture may be on screen around a change.
    invalidateInSuperlayer(visualRectInSuperlayer(true) | visualRectInSuperlayer(false));
}

} // namespace platform
