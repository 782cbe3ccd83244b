#pragma once

#include <QColor>
#include <QImage>
#include <QMatrix4x4>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace platform {

class Animation;
class Layer;
using LayerPtr = std::shared_ptr<Layer>;
/// Layer contents: a shared, immutable image; two layers show "the same contents" when the pointers are equal.
using ImagePtr = std::shared_ptr<const QImage>;

/// Base of whatever a subsystem attaches to a layer (the drawn-object models); owned by the layer.
class LayerModel
{
public:
    virtual ~LayerModel() = default;
};

/// Draws a layer's content for its owner. Layers refer to their delegate weakly: a destroyed delegate is
/// simply no longer asked.
class LayerDelegate
{
public:
    LayerDelegate();
    virtual ~LayerDelegate();
    LayerDelegate(const LayerDelegate &) = delete;
    LayerDelegate &operator=(const LayerDelegate &) = delete;

    /// `painter` is in the layer's own coordinates: points, y up, the bounds' origin where the layer's is.
    virtual void drawLayerInContext(Layer &layer, QPainter &painter) = 0;

private:
    friend class Layer;
    std::shared_ptr<LayerDelegate *> m_self; // shared with the layers; cleared when the delegate dies
};

/// A node of the layer tree: geometry, appearance, contents, sublayers and animations.
///
/// Coordinates are points with y up. A layer's bounds are its own coordinate space; its position is where the
/// anchor point (unit coordinates of the bounds, (0.5, 0.5) by default) sits in the superlayer, and its transform
/// (a 4x4 matrix, perspective included, applied about the anchor point) is flattened onto the superlayer.
/// A geometry-flipped layer lays out its sublayers from its top edge instead.
///
/// Layers are owned through LayerPtr (shared_ptr): a superlayer owns its sublayers, undo actions may keep
/// removed layers alive, and a layer can move from one superlayer to another. The superlayer link is weak.
/// Main thread only.
class Layer : public std::enable_shared_from_this<Layer>
{
public:
    enum class ContentsGravity : int {
        Resize,
        ResizeAspect,
        ResizeAspectFill,
        Center,
        Top,
        Bottom,
        Left,
        Right,
        TopLeft,
        TopRight,
        BottomLeft,
        BottomRight
    };
    enum class Filter : int { Linear, Nearest, Trilinear };

    /// The animatable appearance, kept once as the model and computed as the presentation.
    struct State
    {
        QRectF bounds;
        QPointF position;
        QPointF anchorPoint{0.5, 0.5};
        QMatrix4x4 transform;
        double zPosition = 0;
        double opacity = 1;
        bool hidden = false;
        QColor backgroundColor; // invalid: none
        QColor borderColor;     // invalid: none
        double borderWidth = 0;
        double cornerRadius = 0;
        QColor shadowColor{0, 0, 0};
        double shadowOpacity = 0;
        QPointF shadowOffset{0, -3}; // points, y up: below the layer
        double shadowRadius = 3;
    };

    Layer();
    virtual ~Layer();
    Layer(const Layer &) = delete;
    Layer &operator=(const Layer &) = delete;

    [[nodiscard]] static LayerPtr create() { return std::make_shared<Layer>(); }

    // Geometry
    [[nodiscard]] QRectF bounds() const { return m_state.bounds; }
    void setBounds(const QRectF &bounds);
    [[nodiscard]] QPointF position() const { return m_state.position; }
    void setPosition(QPointF position);
    [[nodiscard]] QPointF anchorPoint() const { return m_state.anchorPoint; }
    void setAnchorPoint(QPointF anchorPoint);
    /// The bounds as the superlayer sees them: the bounding box of the transformed bounds.
    [[nodiscard]] QRectF frame() const;
    /// Sets the bounds' size and the position as if the transform were the identity.
    void setFrame(const QRectF &frame);
    [[nodiscard]] const QMatrix4x4 &transform() const { return m_state.transform; }
    void setTransform(const QMatrix4x4 &transform);
    /// The 2D part of the transform; setting it replaces the whole transform.
    [[nodiscard]] QTransform affineTransform() const;
    void setAffineTransform(const QTransform &transform);
    /// Siblings draw by zPosition (lowest first), then in sublayer order.
    [[nodiscard]] double zPosition() const { return m_state.zPosition; }
    void setZPosition(double zPosition);
    [[nodiscard]] bool isGeometryFlipped() const { return m_geometryFlipped; }
    void setGeometryFlipped(bool flipped);

    // Appearance
    [[nodiscard]] double opacity() const { return m_state.opacity; }
    void setOpacity(double opacity);
    [[nodiscard]] bool isHidden() const { return m_state.hidden; }
    void setHidden(bool hidden);
    [[nodiscard]] QColor backgroundColor() const { return m_state.backgroundColor; }
    void setBackgroundColor(const QColor &color);
    [[nodiscard]] QColor borderColor() const { return m_state.borderColor; }
    void setBorderColor(const QColor &color);
    [[nodiscard]] double borderWidth() const { return m_state.borderWidth; }
    void setBorderWidth(double width);
    [[nodiscard]] double cornerRadius() const { return m_state.cornerRadius; }
    void setCornerRadius(double radius);
    [[nodiscard]] bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks);
    /// The mask's alpha (in this layer's coordinates) limits what the layer shows; the mask has no superlayer.
    [[nodiscard]] const LayerPtr &mask() const { return m_mask; }
    void setMask(LayerPtr mask);

    // Shadow
    [[nodiscard]] QColor shadowColor() const { return m_state.shadowColor; }
    void setShadowColor(const QColor &color);
    [[nodiscard]] double shadowOpacity() const { return m_state.shadowOpacity; }
    void setShadowOpacity(double opacity);
    [[nodiscard]] QPointF shadowOffset() const { return m_state.shadowOffset; }
    void setShadowOffset(QPointF offset);
    [[nodiscard]] double shadowRadius() const { return m_state.shadowRadius; }
    void setShadowRadius(double radius);
    /// The shape that casts the shadow, in the layer's coordinates; none: the layer's own pixels do.
    [[nodiscard]] const std::optional<QPainterPath> &shadowPath() const { return m_shadowPath; }
    void setShadowPath(std::optional<QPainterPath> path);

    // Contents
    [[nodiscard]] const ImagePtr &contents() const { return m_contents; }
    void setContents(ImagePtr contents);
    /// Pixels per point of the contents (1 or 2, the backing scale).
    [[nodiscard]] double contentsScale() const { return m_contentsScale; }
    void setContentsScale(double scale);
    [[nodiscard]] ContentsGravity contentsGravity() const { return m_contentsGravity; }
    void setContentsGravity(ContentsGravity gravity);
    [[nodiscard]] Filter magnificationFilter() const { return m_magnificationFilter; }
    void setMagnificationFilter(Filter filter);
    [[nodiscard]] Filter minificationFilter() const { return m_minificationFilter; }
    void setMinificationFilter(Filter filter);

    [[nodiscard]] const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    [[nodiscard]] LayerDelegate *delegate() const { return m_delegate ? *m_delegate : nullptr; }
    void setDelegate(LayerDelegate *delegate);
    [[nodiscard]] const std::shared_ptr<LayerModel> &model() const { return m_model; }
    void setModel(std::shared_ptr<LayerModel> model) { m_model = std::move(model); }

    // Tree
    [[nodiscard]] Layer *superlayer() const { return m_superlayer; }
    [[nodiscard]] const std::vector<LayerPtr> &sublayers() const { return m_sublayers; }
    /// Replaces every sublayer (an empty list removes them all).
    void setSublayers(const std::vector<LayerPtr> &sublayers);
    /// Adding a layer takes it out of its previous superlayer first. A layer cannot contain itself.
    void addSublayer(const LayerPtr &layer);
    /// An index past the end appends.
    void insertSublayer(const LayerPtr &layer, size_t index);
    /// A sibling that is not a sublayer of this layer appends (below: inserts first).
    void insertSublayerBelow(const LayerPtr &layer, const Layer *sibling);
    void insertSublayerAbove(const LayerPtr &layer, const Layer *sibling);
    void replaceSublayer(const Layer *oldLayer, const LayerPtr &newLayer);
    void removeFromSuperlayer();
    [[nodiscard]] Layer *rootLayer();
    /// Sublayers in drawing order: by zPosition, then in sublayer order.
    [[nodiscard]] std::vector<Layer *> sublayersInDrawingOrder(bool presentation = false) const;

    // Coordinates
    /// Maps a layer with this state from its coordinates to its superlayer's (before any flip of the superlayer).
    [[nodiscard]] static QTransform transformForState(const State &state);
    /// Maps a geometry-flipped layer's sublayer space onto its own coordinates.
    [[nodiscard]] static QTransform flipForBounds(const QRectF &bounds);
    /// Maps this layer's coordinates to its superlayer's (model values unless `presentation`).
    [[nodiscard]] QTransform transformToSuperlayer(bool presentation = false) const;
    /// Maps this layer's coordinates to its root's superlayer's, the space the root's frame is given in.
    [[nodiscard]] QTransform transformToRoot(bool presentation = false) const;
    /// `other` null: the root's superlayer space. Layers of different trees share that space.
    [[nodiscard]] QPointF convertPointFromLayer(QPointF point, const Layer *other) const;
    [[nodiscard]] QPointF convertPointToLayer(QPointF point, const Layer *other) const;
    [[nodiscard]] QRectF convertRectFromLayer(const QRectF &rect, const Layer *other) const;
    [[nodiscard]] QRectF convertRectToLayer(const QRectF &rect, const Layer *other) const;

    /// The farthest visible descendant (or this layer) under the point, given in the superlayer's coordinates.
    [[nodiscard]] virtual Layer *hitTest(QPointF pointInSuperlayer);
    /// Whether the point, in this layer's coordinates, is inside it: the bounds by default.
    [[nodiscard]] virtual bool containsPoint(QPointF point) const;

    // Animations
    /// Adds a copy of the animation under the key, replacing (and stopping) one of the same key. An empty key
    /// never replaces. Durations of 0 take the transaction's; a begin time of 0 becomes now.
    void addAnimation(const Animation &animation, const QString &key = {});
    void removeAnimation(const QString &key);
    void removeAllAnimations();
    [[nodiscard]] const Animation *animationForKey(const QString &key) const;
    [[nodiscard]] QStringList animationKeys() const;
    [[nodiscard]] bool hasAnimations() const { return !m_animations.empty(); }
    /// Whether an animation of this layer still changes something (not yet at its end).
    [[nodiscard]] bool hasRunningAnimations() const;
    /// Whether any layer of this subtree (masks included) has an animation that still changes something.
    [[nodiscard]] bool hasRunningAnimationsInTree() const;

    /// The model value of an animatable property ("opacity", "position", "bounds", "transform", ...).
    [[nodiscard]] virtual QVariant modelValue(const QString &key) const;
    /// The value shown now: the model value with this layer's animations applied.
    [[nodiscard]] QVariant presentationValue(const QString &key) const;
    [[nodiscard]] const State &modelState() const { return m_state; }
    [[nodiscard]] State presentationState() const;
    [[nodiscard]] double presentationOpacity() const;
    [[nodiscard]] QMatrix4x4 presentationTransform() const;
    [[nodiscard]] QPointF presentationPosition() const;
    [[nodiscard]] QRectF presentationBounds() const;

    // Rendering
    /// Draws the layer and its sublayers with model values into a painter that is in this layer's coordinates
    /// (points, y up); the layer's own position and transform are not applied, its opacity is.
    void renderInContext(QPainter &painter) const;
    /// The same with presentation values (for the screen), drawing only what meets `dirtyRect` (this layer's
    /// coordinates) when one is given.
    void renderPresentationInContext(QPainter &painter, const std::optional<QRectF> &dirtyRect = {}) const;
    /// Draws what this layer itself shows between its background and its sublayers: by default the delegate.
    virtual void drawInContext(QPainter &painter, bool presentation) const;
    /// The area this layer and its sublayers may paint, in its superlayer's coordinates.
    [[nodiscard]] QRectF visualRectInSuperlayer(bool presentation = false) const;

    /// Asks the host to redraw this layer (or a rectangle of it, in its coordinates).
    void setNeedsDisplay();
    void setNeedsDisplayInRect(const QRectF &rect);
    /// Set on a root layer by the view that shows it: called with areas of the root's superlayer space that
    /// need redrawing.
    void setDisplayObserver(std::function<void(const QRectF &)> observer) { m_displayObserver = std::move(observer); }

protected:
    /// Records a change of an animatable property: offers an implicit animation from `oldPresentation`
    /// and asks for redrawing.
    void propertyWillChange();
    void propertyDidChange(const QString &key, const QVariant &oldPresentation);
    /// Applies this layer's animations of `key` to `value`.
    void applyAnimations(const QString &key, QVariant &value) const;
    [[nodiscard]] static double mediaTime();

    template <typename T> void setStateMember(T State::*member, const T &value, const QString &key)
    {
        if (m_state.*member == value)
            return;
        const QVariant old = wantsImplicitAnimation() ? presentationValue(key) : QVariant();
        propertyWillChange();
        m_state.*member = value;
        propertyDidChange(key, old);
    }
    template <typename T> void setAnimatableMember(T &member, const T &value, const QString &key)
    {
        if (member == value)
            return;
        const QVariant old = wantsImplicitAnimation() ? presentationValue(key) : QVariant();
        propertyWillChange();
        member = value;
        propertyDidChange(key, old);
    }
    /// A value to draw with: the presentation value when asked and animated, else the model value.
    template <typename T> [[nodiscard]] T drawingValue(const T &model, const QString &key, bool presentation) const
    {
        if (!presentation || !hasAnimations())
            return model;
        return presentationValue(key).template value<T>();
    }
    [[nodiscard]] bool wantsImplicitAnimation() const;

private:
    struct AttachedAnimation;

    void insertAt(const LayerPtr &layer, size_t index);
    void detachFromSuperlayer();
    void invalidateRectInRoot(const QRectF &rectInSelf);
    void invalidateInSuperlayer(const QRectF &rectInSuperlayer);
    void invalidateVisual();
    [[nodiscard]] Layer *geometryParent() const { return m_superlayer ? m_superlayer : m_maskOwner; }
    void animationReachedEnd(const std::shared_ptr<AttachedAnimation> &record);
    void stopAnimation(const std::shared_ptr<AttachedAnimation> &record);

    State m_state;
    bool m_geometryFlipped = false;
    bool m_masksToBounds = false;
    LayerPtr m_mask;
    std::optional<QPainterPath> m_shadowPath;
    ImagePtr m_contents;
    double m_contentsScale = 1;
    ContentsGravity m_contentsGravity = ContentsGravity::Resize;
    Filter m_magnificationFilter = Filter::Linear;
    Filter m_minificationFilter = Filter::Linear;
    QString m_name;
    std::shared_ptr<LayerDelegate *> m_delegate;
    std::shared_ptr<LayerModel> m_model;
    Layer *m_superlayer = nullptr; // not owned; the superlayer owns this layer and clears the link when it dies
    Layer *m_maskOwner = nullptr;  // not owned; the layer this one masks, which owns it
    std::vector<LayerPtr> m_sublayers;
    std::vector<std::shared_ptr<AttachedAnimation>> m_animations;
    std::function<void(const QRectF &)> m_displayObserver;
};

} // namespace platform
