#pragma once

#include "foundation/SrgbColor.h"
#include "objects/MRKOLowerThirdDelegate.h"
#include "platform/Event.h"
#include "platform/EventQueue.h"
#include "platform/Layer.h"
#include "platform/Path.h"
#include "platform/RawInput.h"
#include "platform/TrackingArea.h"

#include <QCursor>
#include <QDateTime>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class MRKOArrowPill;
class MRKOBallLayer;
class MRKOCircleMenuProtocol;
class MRKOEraserRingLayer;
class MRKOSnapshot;
class MRKODrawBaseLayer;
class MRKOMagnifyG;
class MRKOWhiteBackController;
class MRKOLayerOrder;
class MRKOPill;
class MRKOSelectedLayerControls;
class MRKOTextPill;
class MRKOWindowController;
namespace platform {
class BitmapContext;
class LocalEventMonitor;
class ShapeLayer;
} // namespace platform
namespace inkora {
class PointerLoop;
class StrokeCache;
struct CaptureDisplay;
} // namespace inkora

/// The drawing canvas of one display. It shows the finished drawings (`layersContainer`) and renders the stroke in
/// progress into an off-screen stroke cache, of which it paints only the dirty rectangles it is asked for.
/// Coordinates are view points with y up; the conversion to Qt happens in painting and event handling only.
/// A press runs a nested loop over the shared event queue until the button goes up. Main thread only.
class MRKODraw : public QWidget, public platform::LayerDelegate, public MRKOLowerThirdDelegate
{
    Q_OBJECT
public:
    /// `frame` in the superview's points (y up); `scale` is the display's backing scale.
    MRKODraw(const QRectF &frame, double scale, QWidget *parent = nullptr);
    explicit MRKODraw(const QRectF &frame, QWidget *parent = nullptr);
    ~MRKODraw() override;

    /// Stroke width in points of a thickness preset: 2, 5, 10, 15, 20, 25; 10 for any other value.
    [[nodiscard]] static double valueWithThinckness(quint64 thickness);
    /// The live eraser size rounded up to an even number of points.
    [[nodiscard]] static double eraserSize();
    /// The rainbow hue shared by every canvas, 0...1.
    [[nodiscard]] static double hue();
    static void setHue(double hue);
    /// Ends text editing everywhere; nothing to end until the text editor exists.
    static void removeTextViewAndUndoActionsIfNeeded() {}
    /// Whether text is being typed on a canvas; never until the text editor exists.
    [[nodiscard]] static bool isTextEditing() { return false; }

    // Set-up
    void setUpView();
    void setUpLayer();
    void makeDrawBaseLayerIfNeeded();
    void updateDrawBaseLayerOrMakeBackingLayer();
    void viewWillMoveToSuperview(QWidget *superview);
    /// Takes the window's backing scale; a new one remakes the cache.
    void viewDidChangeBackingProperties();
    void updateFrameIfNeededWithNewFrame(const QRectF &frame);
    void drawViewDidAppear();
    /// Makes the canvas's lower third on first use and plays it unless it is showing (MRKODraw+LowerThird.cpp).
    void showLowerThird();
    /// The lower third's show has ended (or null: end it now): it is cleaned up and dropped.
    void lowerThirdAnimationDidFinished(MRKOLowerThird *lowerThird) override;
    [[nodiscard]] MRKOLowerThird *lowerThird() const { return m_lowerThird.get(); }
    /// Before quitting: the canvas's window goes away, the block runs and the pressure smoother stops.
    void cleanUpMonitorsAndQuit(const std::function<void()> &block);
    void dispatchDummyDrawAfterDelay();

    [[nodiscard]] QRectF bounds() const { return QRectF(0, 0, width(), height()); }
    [[nodiscard]] double displayScale() const { return m_displayScale; }
    /// Whether this is a plain canvas, not a subclass.
    [[nodiscard]] bool isMainClass() const;
    [[nodiscard]] qint64 index() const { return m_index; }
    void setIndex(qint64 index) { m_index = index; }
    [[nodiscard]] MRKOWindowController *windowController() const { return m_windowController; }
    void setWindowController(MRKOWindowController *controller) { m_windowController = controller; }
    /// With a window controller: its tool-panel frame, the shared hue and the flashlight radius go to the settings.
    void saveSettingsIfNeeded();

    // Tool state
    [[nodiscard]] quint64 thickness() const { return m_thickness; }
    void setThickness(quint64 thickness);
    [[nodiscard]] double brushSize() const { return m_brushSize; }
    [[nodiscard]] qint64 colorType() const { return m_colorType; }
    void setColorType(qint64 colorType) { m_colorType = colorType; }
    [[nodiscard]] qint64 dissolveMode() const { return m_dissolveMode; }
    /// 0 fade, 1 freeze. Switching to fade flattens the drawings into one composite that fades out.
    void setDissolveMode(qint64 mode);
    [[nodiscard]] quint64 auxAction() const { return m_auxAction; }
    void setAuxAction(quint64 action) { m_auxAction = action; }
    [[nodiscard]] quint64 quickAuxAction() const { return m_quickAuxAction; }
    /// The hover's action; the eraser ring comes or goes with the eraser.
    void setQuickAuxAction(quint64 action);
    [[nodiscard]] quint64 currentToolType() const { return m_currentToolType; }
    /// The tool drawing uses.
    [[nodiscard]] quint64 toolType() const { return m_toolType; }
    void setToolType(quint64 toolType);
    [[nodiscard]] bool drawingInProgress() const { return m_drawingInProgress; }
    void setDrawingInProgress(bool inProgress);
    [[nodiscard]] bool needsEraserRings() const;
    /// Hue step per unit of pointer speed: 0.0025 for the brush, 0.005 for other tools.
    [[nodiscard]] double hueFactor() const;
    [[nodiscard]] bool toolTypeIsBrush() const { return (m_toolType & 3) == 0; }

    // Layers
    /// The canvas's own layer: the base layer when one is in use. Its content is drawRect's.
    [[nodiscard]] platform::Layer &viewLayer() const { return *m_viewLayer; }
    [[nodiscard]] MRKODrawBaseLayer *drawBaseLayer() const { return m_drawBaseLayer; }
    /// The finished drawings; made when the canvas first moves into a superview.
    [[nodiscard]] const platform::LayerPtr &layersContainer() const { return m_layersContainer; }

    // Stroke cache
    void createNewContext();
    void releaseContextAndCacheImageIfNeeded();
    void clearContextWithCurrentRectShouldDisplay(bool display);
    [[nodiscard]] QRectF bitmapContextRect() const { return m_contextRect; }
    [[nodiscard]] QRectF currentCacheContextRect() const { return m_contextRect; }
    /// Null when the cache could not be made.
    [[nodiscard]] platform::BitmapContext *currentCacheContext() const;
    [[nodiscard]] const QImage &currentCroppedImage() const { return m_croppedChunk; }
    [[nodiscard]] QRectF currentCroppedDrawRect() const { return m_croppedChunkRect; }
    void prepareCroppedChunkWithRect(const QRectF &rect);
    void removeCroppedChunkIfNeeded();
    /// Asks for the rectangle (view points) to be painted again.
    void setNeedsDisplayInRect(const QRectF &rect);
    /// Copies the cache under the dirty rectangle (view points, clipped to the view) into a painter in view
    /// points, replacing what was there.
    void drawRect(const QRectF &dirtyRect, QPainter &painter);

    // Pointer
    /// The pointer's position in view points.
    [[nodiscard]] QPointF mouseLocation() const;
    /// The centre of the colour ball that the remote's air pointer moves; zero without a ball.
    [[nodiscard]] QPointF remoteTrackingMouseLocation() const;

    // ---- Colour ball, eraser ring and halo (MRKODraw+ColorBall.cpp) ----
    [[nodiscard]] const std::shared_ptr<MRKOBallLayer> &ballLayer() const { return m_ballLayer; }
    [[nodiscard]] const std::shared_ptr<MRKOEraserRingLayer> &eraserRingLayer() const { return m_eraserRingLayer; }
    /// Size, place and colour of the ball; the eraser ring replaces it while the hover action is the eraser.
    virtual void updateColorBall();
    /// The remote's ball while the phone steers the pointer, else the pointer's.
    virtual void colorBallNeedUpdate();
    void updateColorBallPosition();
    void updateColorBallThickness();
    void updateColorBallColor();
    /// Moves the ball and the ring to a point in view points; a point that is not finite moves nothing.
    virtual void setBallPosition(QPointF point);
    [[nodiscard]] bool ballIsHidden() const;
    [[nodiscard]] bool shouldShowColorBall() const;
    virtual bool showBall();
    virtual bool showBallIfNeeded();
    virtual void hideBall();
    bool showBigBallIfNeeded();
    void showBigBall();
    void hideBigBall();
    [[nodiscard]] bool bigBallIsOpaque() const;
    void updateBigBallIfNeeded();
    void makeEraserRingIfNeeded();

    // ---- Remote-pointer strokes (MRKODraw+RemotePointer.cpp) ----
    /// Press, movement and release at the colour ball, with no pointer events.
    virtual void simulateMouseDown();
    virtual void simulateMouseDragged();
    virtual void simulateMouseUp();
    void simulateUpdateColorBall();
    /// A dot drawing at the pointer, made at once.
    void drawADot();
    /// A bitmap layer named "Dot" of the colour ball where it is.
    platform::LayerPtr dotRasterizedLayer();

    // ---- Click highlight (MRKODraw+ClickHighlight.cpp) ----
    /// The mark "SplashMethod" chooses, where the pointer is now.
    virtual void blinkForEvent(const platform::Event &event);
    /// Eight rays bursting out of the point (view points), 0.35 s.
    void blinkForPoint(QPointF point);
    /// A ring growing around the point, 0.5 s.
    void blinkForPointCircle(QPointF point);

    // ---- Circle menus and the right button (MRKODraw+CircleMenus.cpp) ----
    void rightMouseDown(const platform::Event &event);
    void rightMouseDragged(const platform::Event &event);
    void rightMouseUp(const platform::Event &event);
    void invokeMouseDownExtraAction(quint64 action);
    void invokeOpenMenuAction();
    void invokeCircleMenuAction();
    void invokeCircleSwatchMenuAction();
    /// The radial tool or swatch menu under the pointer, made on first use; the one shown when there is one.
    MRKOCircleMenuProtocol *circleMenu();
    MRKOCircleMenuProtocol *circleSwatchMenu();
    [[nodiscard]] MRKOCircleMenuProtocol *shownCircleMenu() const { return m_circleMenu.get(); }
    void removeCircleMenuIfNeeded();
    void toolSelectedViaCircleMenu(MRKOCircleMenuProtocol &menu);
    void colorSwatchSelectedViaCircleMenu(MRKOCircleMenuProtocol &menu);
    /// The tray icon's place on the screen (points, y up); null when the tray gives none.
    [[nodiscard]] std::optional<QRectF> statusBarButton() const;
    void closeAllDrawable();
    // ---- end of the pointer's companions

    /// A location in the window (points, y up) in view points.
    [[nodiscard]] QPointF convertPointFromWindow(QPointF point) const;

    /// Runs a press: the nested loop until the button goes up, then the end of the stroke.
    void mouseDown(const platform::Event &event);
    void mouseUp(const platform::Event &event);
    void mouseDragged(const platform::Event &event);
    virtual void mouseMoved(const platform::Event &event);
    /// Called for each drawn drag event of a press.
    virtual void mouseDraggedDuringDraw(const platform::Event &event);
    void drawingStart() { setDrawingInProgress(true); }
    void drawingEnd() { setDrawingInProgress(false); }
    /// Ends a running press as if the button went up.
    void stopDrawingByPostingMouseUp();
    [[nodiscard]] bool screenDisabled() const { return m_screenDisabled; }
    void setScreenDisabled(bool disabled) { m_screenDisabled = disabled; }
    [[nodiscard]] bool shouldDraw() const;
    [[nodiscard]] inkora::SrgbColor colorForCurrentType() const;
    void makeColorsAccordingType();
    void resetPointsAndRectsWithCurrentLocation(QPointF point);
    void initialModifierKeyValidation();
    void validateShiftKeyWithEvent(const platform::Event &event);
    void mouseMovementFlagChangedWithEvent(const platform::Event &event);
    void translateDrawOriginsUsingDelta(double dx, double dy);
    void adoptMoveLayerToPixelGrid(const QRectF &frame, const platform::LayerPtr &moveLayer);
    void turnOffSelectiveFlashlightWithDazadUdiz(bool withShot, bool isClick);
    void cleanUpAfterMouseDown();
    /// Width in points of the segment being rendered: with pen pressure between 1 and the preset's width.
    double brushSizeUsingPressure();

    // Rendering into the cache
    void drawToCache();
    void cleanUpDrawnAreaAndResetInitialLocation();
    void collectNewPoint();
    void collectPointsForBrush();
    void collectPointToDiscardedArray();
    void collectPointAccordingFPSAction();
    void appendDiscardedPointsIfNeeded();
    void sortPointsBatch();
    void drawBrushV2ToCache();
    /// Draws the brush towards the point the rate limiter collected last without drawing it.
    void drawHeldBackBrushPoint();
    /// The simpler brush of the animated previews.
    void drawBrushToCache();

    // Quick-arrow head
    [[nodiscard]] bool souldDrawArrowHead() const;
    void handleFlagChagedForBrush();
    void handleFlagChagedWhileMouseDown(const platform::Event &event);
    void updateArrowHeadStrokedPath(double width);
    void drawArrowOverlayInContext();
    void removeArrowOverlayIfNeeded();
    void removeArrowOverlayAndCleanUp();
    [[nodiscard]] const std::shared_ptr<platform::ShapeLayer> &arrowOverlay() const { return m_arrowOverlay; }

    // A stroke moved while drawing
    /// Moves the stroke in progress out of the cache into a layer on the canvas's own layer.
    platform::LayerPtr makeMediumLayer();
    /// Renders such a layer back into the cache.
    void renderMediumLayer(const platform::LayerPtr &layer);
    [[nodiscard]] const platform::LayerPtr &moveClipping() const { return m_moveClipping; }

    /// Turns the finished stroke into a drawing (with nil, it is cut from the cache): it gets the model, joins the
    /// container and stays with an "Add Layer" step (freeze mode, text) or fades out; the cache is emptied.
    virtual void finalizeDrawWithLayerOrNil(const platform::LayerPtr &layer);

    // ---- Finishing, freeze and fade, clearing, layer order and undo (MRKODraw+Finishing.cpp, MRKODraw+Undo.cpp)
    /// Both put the layer into the container at zPosition -1 without implicit animation unless `allowAnim`.
    void addSublayerToContainerAllowAnim(const platform::LayerPtr &layer, bool allowAnim);
    void addSublayerToContainerAtIndex(const platform::LayerPtr &layer, size_t index);
    /// Repeat last drawing: in freeze mode undo or redo it, in fade mode show and fade it again.
    void repeatLayer(const platform::LayerPtr &layer);

    /// Fades the layer out over the fade time; with `fullCleanUp` it also leaves the list when the fade ends.
    void fadeOutLayerFullCleanUp(const platform::LayerPtr &layer, bool fullCleanUp);
    void removeFadedLayerIfComplete(const platform::LayerPtr &layer);
    /// Fades a flattened image of the layers just below the container.
    void animateLayersFade(const std::vector<platform::LayerPtr> &layers);
    /// The layers flattened into one layer named "Composite"; null, with the layers left alone, when no bitmap
    /// can be made.
    [[nodiscard]] platform::LayerPtr compositeLayer(const std::vector<platform::LayerPtr> &layers);
    void makeCompositeAnimated(bool animated);
    void clearCanvas();
    void clearCanvasAuxillary();
    void forceClearCanvasAndCleanUpUndo();
    void removeAllTimersIfNeeded() {}
    void clearLayerContainerIfNeeded();
    void removeAllLayersFromLayerContainer();
    /// A clear removes the static selection or the multiple move's drawings instead, when there is one.
    [[nodiscard]] bool shouldCancelClearAction();
    [[nodiscard]] bool hasLayers() const { return !layers().empty(); }
    [[nodiscard]] bool layerContainerHasLayers() const;
    [[nodiscard]] const platform::LayerPtr &drawingsContainer() const { return m_layersContainer; }
    [[nodiscard]] const std::vector<platform::LayerPtr> &layersToFade() const { return m_layersToFade; }
    void setLayersToFade(const std::vector<platform::LayerPtr> &layers) { m_layersToFade = layers; }

    /// The drawings that stay, bottom first; they mirror the container's sublayers.
    [[nodiscard]] const std::vector<platform::LayerPtr> &layers() const;
    void undoAddLayerToIndex(const platform::LayerPtr &layer, size_t index);
    void undoRemoveLayer(const platform::LayerPtr &layer);
    void undoAddLayers(const std::vector<platform::LayerPtr> &layers);
    void undoRemoveLayers(const std::vector<platform::LayerPtr> &layers);
    void removeLayerFromCanvas(const platform::LayerPtr &layer);
    bool undoLayerUp(const platform::LayerPtr &layer);
    bool undoLayerDown(const platform::LayerPtr &layer);
    bool undoMoveLayerFromIndexToIndex(const platform::LayerPtr &layer, size_t from, size_t to);
    bool bringLayerFront(const platform::LayerPtr &layer);
    bool bringLayerBack(const platform::LayerPtr &layer);
    [[nodiscard]] bool layerCanMoveUp(const platform::Layer *layer) const;
    [[nodiscard]] bool layerCanMoveDown(const platform::Layer *layer) const;
    /// Whether the last undo-manager pass that changed this canvas was a redo.
    [[nodiscard]] bool redoFlag() const;
    void updateRedoFlag();
    /// The target swaps its contents, frame and border colour for the capsule's; the reverse is registered.
    void undoLayerContentWithCapsuleLayer(const platform::LayerPtr &target, const platform::LayerPtr &capsule);
    /// The layer takes the model and is rendered from it; the reverse is registered.
    void undoGraphicPillForLayer(const std::shared_ptr<MRKOPill> &pill, const platform::LayerPtr &layer);
    /// Model and text of a drawing in progress, as the shape and text tools leave them for finishing.
    void setWorkingPill(std::shared_ptr<MRKOPill> pill) { m_workingPill = std::move(pill); }
    [[nodiscard]] const std::shared_ptr<MRKOPill> &workingPill() const { return m_workingPill; }
    // ---- end of finishing

    // The stroke in progress, as the renderers and finishing read it
    [[nodiscard]] QRectF currentRect() const { return m_currentRect; }
    [[nodiscard]] QRectF prevRendRect() const { return m_prevRendRect; }
    [[nodiscard]] QPointF mouseDownPoint() const { return m_mouseDownPoint; }
    [[nodiscard]] const std::array<QPointF, 5> &pointBatch() const { return m_pointBatch; }
    [[nodiscard]] qint64 pointIndex() const { return m_pointIndex; }
    [[nodiscard]] const std::vector<QPointF> &discardedPoints() const { return m_discardedPoints; }
    [[nodiscard]] const platform::Path &sharedPath() const { return m_sharedPath; }
    [[nodiscard]] double maxDragBrushSize() const { return m_maxDragBrushSize; }
    [[nodiscard]] inkora::SrgbColor hueColor() const { return m_hueColor; }
    [[nodiscard]] inkora::SrgbColor hueFirstColor() const { return m_hueFirstColor; }
    [[nodiscard]] double mouseDownHue() const { return m_mouseDownHue; }
    [[nodiscard]] bool isMouseDraggedEnough() const { return m_isMouseDraggedEnough; }
    [[nodiscard]] bool isMoving() const { return m_moveFlag; }
    [[nodiscard]] bool straighten() const { return m_straighten; }
    [[nodiscard]] bool filled() const { return m_filled; }

    // ---- Snapshots of the canvas (MRKODraw+Snapshots.cpp) ----
    /// Copies of the drawings with their models, bottom first.
    [[nodiscard]] std::vector<platform::LayerPtr> activeLayersCopy() const;
    /// The drawings themselves (the same layer objects), the bounds and the index; no screen image.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> semiSnapshot() const;
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> currentSnapshot() const { return semiSnapshot(); }
    /// Copies of the drawings over the screen below the canvas's window, with the whiteboard's state when one shows.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshot();
    /// The whole screen with the drawings, named as the next DazadUdiz; null when the screen cannot be captured.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> dazadUdiz();
    /// Puts a stored snapshot's drawings on this canvas when it was taken here: undoable as "Apply Snapshot" in
    /// freeze mode, fading like fresh drawings in fade mode.
    void loadSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot);
    /// Takes the drawings off the canvas and registers putting them back as "Apply Snapshot".
    void prepareUndoSnapshot();
    /// Nothing when the snapshot shows what is on the canvas; otherwise replaces the drawings, undoably.
    void undoSnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot);
    /// Replaces the drawings: copies of a stored snapshot's, or the very layers of a snapshot without a screen image
    /// (the canvas's own, coming back by undo, redo or after a display change).
    void applySnapshot(const std::shared_ptr<MRKOSnapshot> &snapshot);
    /// With "apply with whiteboard" on: the whiteboard as the snapshot recorded it, or none when it had none.
    void applyWhiteBoardFromSnapshotIfNeeded(const std::shared_ptr<MRKOSnapshot> &snapshot);
    /// The top drawing and this canvas become the repeat command's.
    void fillHolderWithLastLayer();
    /// The drawings' drop shadow: black, opacity 1, radius 2 x scale, offset (0, -scale) (y up); a scale not above
    /// 0 counts as 1.
    static void enableShadowOnLayerScale(platform::Layer &layer, double scale);
    static void disableShadowOnLayer(platform::Layer &layer);
    // ---- end of snapshots

    // --- Shape tools and animated previews (MRKODraw+Shapes.cpp) ---
    /// The shape of the drag from the press point to the newest pointer position, replacing the last picture.
    void drawArrowToCache();
    void drawLineToCache();
    void drawRoundedRectangleToCache();
    void drawCircleToChache();
    /// `type` 1 arrow, 5 line; `style` an MRKOArrowStyle.
    void drawArrowToCacheWithStyle(quint64 style, quint64 type);
    /// `type` 2 rectangle, 6 ellipse.
    void drawRectangleToCacheWithType(quint64 type);
    void populateArrowPillExtras(MRKOArrowPill &pill) const;
    /// Makes `pill` the working model and draws it into the cache over the previous picture.
    void drawWorkingPillToCache(const std::shared_ptr<MRKOPill> &pill);
    /// Sample shapes next to the tool panel's button of the current tool.
    void showArrow();
    void showRectangle();
    void showArrowStyles();
    /// A sample shape from A to B (view points) that springs out of A; with `wantToClear` it fades away after.
    void showFromPoint(QPointF a, QPointF b, bool wantToClear);
    /// One step of a drag from A to B with the current tool.
    void showArrowFromPoint(QPointF a, QPointF b);
    [[nodiscard]] QPointF ellipticPointForItemAtIndex(int index) const;
    [[nodiscard]] QPointF ellipticSecPointForItemAtIndex(int index) const;
    /// A damped spring of the layer's scale from 0 to 1 over 0.8 s.
    static void applyScaleAnimationToLayer(platform::Layer &layer);
    void afterShow();
    virtual void allAnimationsDidEnd() {}
    [[nodiscard]] bool arrowIsShowing() const { return m_isArrowShowing; }
    void setArrowShowing(bool showing) { m_isArrowShowing = showing; }
    [[nodiscard]] bool showEllipse() const { return m_showEllipse; }
    // --- end of shape tools ---

    // ---- Flashlight (MRKODraw+Flashlight.cpp), scroll and pinch (MRKODraw+Gestures.cpp) ----
    /// Switches the flashlight on at the pointer; false when it is on already.
    bool makeDarkOverlayWithEvent(const platform::Event *event);
    void removeDarkOverlay();
    [[nodiscard]] bool hasDarkOverlay() const { return m_darkBack != nullptr; }
    /// A drag with the flashlight on is in progress: the hole spans from the press point to the pointer.
    [[nodiscard]] bool selectiveFlashlight() const { return m_selectiveFlashlightFlag; }
    void setSelectiveFlashlightFlag(bool on) { m_selectiveFlashlightFlag = on; }
    void updateFlashlight();
    void updateFlashlightIfNeeded();
    /// Redraws, stores radius and scale, and tells the settings pane.
    void saveAndUpdateFlashlight();
    /// Radius steps of 50 points within 50...500; false while the flashlight is off.
    bool increaseFlashlightThickness();
    bool decreaseFlashlightThickness();
    [[nodiscard]] QPainterPath flashlightBezierPath(bool oval) const;
    void updateFlashlightColorIfNeeded();
    /// The hole around p (view points); with a selective drag, the rectangle from p to q unless q is the
    /// largest double pair.
    void showCircleAtPoint(QPointF p, QPointF q, bool animated);
    void simulateUpdateFlashlightWithPoint(QPointF point);
    void setUpGestureMonitors();
    void setUpGestureMonitorsIfNeeded();
    void removeGestureMonitorsIfNeeded();
    [[nodiscard]] bool hasGestureMonitors() const { return m_gestureLocalMonitor != nullptr; }
    /// Scroll, pinch and smart zoom, from our windows and from anywhere else.
    void handleGesture(const platform::Event &event);
    [[nodiscard]] const platform::LayerPtr &darkBack() const { return m_darkBack; }
    [[nodiscard]] const std::shared_ptr<platform::ShapeLayer> &circleLayer() const { return m_circleLayer; }
    [[nodiscard]] const platform::LayerPtr &featherLayer() const { return m_featherLayer; }
    [[nodiscard]] QRectF circleRect() const { return m_circleRect; }
    [[nodiscard]] QPointF circlePoint() const { return m_circlePoint; }
    [[nodiscard]] bool cursorHidden() const { return m_cursorHidden; }
    [[nodiscard]] bool magnifyToggleFlag() const { return m_magnifyToggleFlag; }
    /// What the canvas shows above its own layer (magnifier glass of method 2, shade, feather) and below its
    /// drawings (whiteboard, frozen back, magnifier glass of method 0), bottom first.
    [[nodiscard]] const platform::LayerPtr &overlayRoot() const { return m_overlayRoot; }
    [[nodiscard]] const platform::LayerPtr &backRoot() const { return m_backRoot; }

    // ---- Magnifier (MRKODraw+Magnifier.cpp) ----
    [[nodiscard]] bool shouldUseMagnify() const;
    void makeMagnifyLayerIfNeeded();
    void insertMagnifyLayerDependingOnMethod();
    void magnifyModeChanged();
    void updateMagnifyIfNeeded();
    void removeMagnifyLayerIfNeeded();
    void removeMagnifyLayer();
    [[nodiscard]] bool hasMagnifyG() const { return m_magLayer != nullptr; }
    [[nodiscard]] bool hasMagnifyGWithWidnow() const;
    /// Between scale 1 and the remembered scale; false unless the flashlight is on and may magnify.
    bool toggle2xMagnifying();
    [[nodiscard]] const platform::LayerPtr &magLayer() const { return m_magLayer; }
    [[nodiscard]] const platform::LayerPtr &magnifyGlassLayer() const { return m_magnifyGlassLayer; }
    [[nodiscard]] MRKOMagnifyG *magnifyG() const { return m_magnifyG.get(); }

    // ---- Whiteboard (MRKODraw+Whiteboard.cpp) ----
    /// The buttons' rectangles in the back's own points; the zero rectangle without a back.
    [[nodiscard]] QRectF whiteBackCloseButtonRect() const;
    [[nodiscard]] QRectF whiteBackMenuRect() const;
    [[nodiscard]] QRectF whiteBackOptionsRect() const;
    void whiteBackSemiTransparent();
    void whiteBackFullOpaque();
    [[nodiscard]] bool whiteboardIsHidden() const { return m_wbHidden; }
    void enableWhiteboard() { m_wbHidden = false; }
    void disableWhiteboard() { m_wbHidden = true; }
    [[nodiscard]] qint64 whiteboardLayout() const { return m_wbLayout; }
    /// Reads this display's layout and hidden flag from the settings.
    void updateWhiteboardSettings();
    void makeWhiteBack();
    void removeWhiteBack();
    [[nodiscard]] bool hasWhiteBack() const { return m_whiteBack != nullptr; }
    [[nodiscard]] QRectF whiteBackFrame() const;
    void updateWhiteBackFrame();
    void updateWhiteBackColor();
    void updateWhiteBackLayout();
    void whiteBoardLayoutSelected(qint64 tag);
    void hideWhiteBoardSelected();
    void showAllWhiteBoards();
    void whiteBoardColorSelected(qint64 tag);
    void makeFrozenBack();
    void removeFrozenBack();
    [[nodiscard]] bool hasFrozenBack() const { return m_frozenBack != nullptr; }
    [[nodiscard]] const platform::LayerPtr &whiteBack() const { return m_whiteBack; }
    [[nodiscard]] MRKOWhiteBackController *wbController() const { return m_wbController.get(); }
    [[nodiscard]] const platform::LayerPtr &frozenBack() const { return m_frozenBack; }
    /// A press at the point (view points) on one of the back's buttons: runs the button and answers true.
    bool whiteboardButtonsTakePress(QPointF point);
    /// This canvas's display as screen captures need it.
    [[nodiscard]] inkora::CaptureDisplay captureDisplay() const;

    // ---- Tracking areas and canvas menus (MRKODraw+Tracking.cpp) ----
    void updateTrackingAreas();
    void updateWhiteBackTrackingAreas();
    [[nodiscard]] const platform::TrackingAreas &trackingAreas() const { return m_trackingAreas; }
    [[nodiscard]] bool isMouseIn() const { return m_mouseIn; }
    virtual void mouseEntered(const platform::Event &event);
    virtual void mouseExited(const platform::Event &event);
    /// The application's menu at the frame (view points); the zero rectangle opens it under the status item.
    void showMenuWithCustomFrame(const QRectF &frame);
    void showWhiteboardMenuWithCustomFrame(const QRectF &frame);
    // ---- end of flashlight, magnifier and whiteboard ----

    // --- Hit testing, hover and rubber band (MRKODraw+Selection.cpp) ---
    /// The drawing under a point (view points): timers first, then drawings; null when none.
    [[nodiscard]] platform::LayerPtr selectedLayerWithPoint(QPointF point);
    [[nodiscard]] platform::LayerPtr selectedLayerWithPointInLayer(QPointF point, const platform::LayerPtr &container);
    /// The hover: chooses the action from the event's modifier flags and selects for it. Nothing while a multiple
    /// move exists.
    void selectWithEvent(const platform::Event &event);
    void selectObjectForAction(quint64 action);
    void updateSelection();
    void deselectObject();
    void resetSelectionLayer();
    /// Gives the layer the highlight's shadow and answers the shadow opacity to show it with.
    static double prepareLayerForSelection(platform::Layer &layer);
    static void selectLayersAnimated(const std::vector<platform::LayerPtr> &layers, bool animated);
    static void deselectLayersAnimated(const std::vector<platform::LayerPtr> &layers, bool animated);
    [[nodiscard]] bool hasSelection() const { return m_selectedLayer != nullptr; }
    [[nodiscard]] const platform::LayerPtr &selectedLayer() const { return m_selectedLayer; }
    /// The rubber band from the press to its release: `action` 1 move, 2 scissors, 3 copy.
    void selectingWithEvent(const platform::Event &event, QPointF actualPoint, quint64 action);
    /// Spanned by two points; a square towards point 2 while Shift is held.
    [[nodiscard]] static QRectF rectWithPoint1Point2(QPointF point1, QPointF point2);
    /// The drawings whose frames meet the rectangle, topmost first.
    [[nodiscard]] std::vector<platform::LayerPtr> selectedLayersWithRect(const QRectF &rect) const;
    /// Bottom first, by the drawing list; drawings not in it last.
    [[nodiscard]] std::vector<platform::LayerPtr>
    sortedLayersArrayAscending(const std::vector<platform::LayerPtr> &layers) const;
    static void removeSelectionOverlayAnimated(const platform::LayerPtr &overlay);
    /// Every drawing as a multiple move; a second time cancels it.
    void selectAllLayers();
    void prepareMultipleSelectionWithAction(quint64 action);
    void makeSelectionBoundingBoxForLayers(const std::vector<platform::LayerPtr> &layers);
    void makeSelectionBoundingBoxWithRect(const QRectF &rect);
    [[nodiscard]] static bool hasMultipleMove();
    /// The running timers' holder, made on first use beneath everything else the canvas shows.
    [[nodiscard]] const platform::LayerPtr &timersContainer();
    /// A running timer is never selected; until timers exist every drawing is inactive.
    [[nodiscard]] static bool isTimerInactive(const platform::Layer &) { return true; }

    // --- Static selection (MRKODraw+StaticSelection.cpp) ---
    [[nodiscard]] platform::LayerPtr staticSelectionLayer() const { return m_staticSelectionLayer.lock(); }
    [[nodiscard]] bool hasStaticSelectionLayer() const { return staticSelectionLayer() != nullptr; }
    void setStaticSelectionLayer(const platform::LayerPtr &layer);
    void removeStaticSelectionIfNeeded();
    /// The drawing under the pointer becomes the static selection (freeze mode only); false when nothing changed.
    bool tryToMakeStaticSelection();
    [[nodiscard]] platform::LayerPtr staticSelectionBoundingBox() const { return m_staticSelectionBoundingBox.lock(); }
    void setStaticSelectionBoundingBox(const platform::LayerPtr &box);
    [[nodiscard]] MRKOSelectedLayerControls *selectedLayerControls() const { return m_selectedLayerControls.get(); }
    void setSelectedLayerControls(std::unique_ptr<MRKOSelectedLayerControls> controls);
    void updateStaticSelectionUIIfNeeded();
    void openColorPopoverForStaticSelection();
    void prepareColorPopoverForStaticSelection();
    /// A pending change of the selected drawing's pixels becomes one "Change Layer" step.
    void makeSelectedLayerContentUndoIfNeeded();

    // --- Eraser and scissors (MRKODraw+Eraser.cpp) ---
    /// One erasing stroke to its release: every drawing its rectangle meets is flattened, the painted area cut out.
    void eraserWithEvent(const platform::Event &event);
    [[nodiscard]] static bool shouldFilterLayersForEraser();
    /// A scroll or magnify event changes the eraser size (2...400 points).
    void performEraserSizeChangeWithEvent(const platform::Event &event);
    static void saveEraserSize();
    void handleDeleteLayerWithEvent(const platform::LayerPtr &layer, const platform::Event &event);
    void removeSelectedLayerWithEvent(const platform::Event &event);

    // --- Moving, copying and the multiple move (MRKODraw+Move.cpp) ---
    void handleMoveLayerWithEventCopy(const platform::LayerPtr &layer, const platform::Event &event, bool copy);
    void handleMoveCopyLayerWithEvent(const platform::LayerPtr &layer, const platform::Event &event);
    /// The one way drawings move: the model follows the origin, the box of a static selection the frame.
    void setFrameToLayer(const QRectF &frame, const platform::LayerPtr &layer);
    void undoMoveLayerToOrigin(const platform::LayerPtr &layer, QPointF origin);
    /// One step of the multiple move on the canvas under the pointer.
    void moveMultipleLayersWithEvent(const platform::Event &event);
    /// Drops the multiple move where it is.
    void finalizeMultipleMove();
    void undoMultipleMoveLayersToOrigins(const std::vector<platform::LayerPtr> &layers,
                                         const std::vector<QPointF> &origins);
    /// Puts everything back and ends the multiple move; false when there was none.
    static bool cancelMultipleMoveIfNeeded();
    static void resetMultipleMoveExtras();
    [[nodiscard]] static bool canGlueLayers();
    static bool createGlueLayer();
    bool glueLayersOutOfMultipleMove();
    /// MRKOLayerOrder::kNotFound when absent.
    [[nodiscard]] size_t indexOfLayer(const platform::Layer *layer) const;

    // --- Action cursor (MRKODraw+ActionCursor.cpp) ---
    /// Whether the eraser end of a tablet pen is near; one for the whole program.
    [[nodiscard]] static bool penEraserFlag();
    void updateCursorForAction(quint64 action);
    /// The brush cursor over the canvas, unless an action cursor is up or another program is in front.
    void updateWorkingCursorIfNeeded();
    void updateCursorRectsAndTracking();
    void pushOpenHandIfNeeded();
    void supressOpenHandIfNeeded();
    // --- end of selection ---

protected:
    // Work of other canvas features that a press calls into; until they exist these do nothing.
    virtual void performFontSizeChangeWithEvent(const platform::Event &) {}
    virtual void makeTextOrBadgeByClick() {}
    virtual bool shouldAppearTextViewWithPoint(QPointF) { return false; }
    virtual void drawTextToCache() {}
    /// A text drawing at the press point, finished at once.
    virtual bool finalizeTextLayerByClick() { return false; }
    /// The application runs the command numbered `action`; the right button's release sends it.
    virtual void invokeExtraAction(quint64 action);
    /// The tool bar selects the tool as if its button were used.
    virtual void changeToolForced(quint64 toolType, bool forced);
    /// The application applies swatch colour 0...9.
    virtual void colorByShortCutWithColorHueIndex(quint64 index);
    /// A radial menu at the frame (view points): the swatch menu or the tool menu.
    [[nodiscard]] virtual std::unique_ptr<MRKOCircleMenuProtocol> makeCircleMenu(const QRectF &frame, bool swatches);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void drawLayerInContext(platform::Layer &layer, QPainter &painter) override;

private:
    friend class inkora::PointerLoop; // a press works on the stroke state directly

    void installViewLayer(platform::LayerPtr layer);
    void makeBallLayer();
    /// Whether the pointer lies over the text being edited; nothing is edited on the canvas yet.
    [[nodiscard]] bool textViewFrameContainsPointer() const { return false; }
    void dispatchEvent(const platform::Event &event);
    /// Cuts the stroke in progress out of the cache into a new layer; null when nothing was drawn. `finishing`
    /// burns the drawing opacity into the pixels when drawings are semitransparent.
    platform::LayerPtr layerCutFromCache(bool finishing = false);
    void makeLayerOrder();
    void registerCanvasUndo(const QString &name, std::function<void()> action);
    /// The end of a drag whose drawing was let go over another display.
    void dropOnOtherDisplay(const platform::LayerPtr &layer, const QRectF &startFrame, bool copy, quint64 copyStep,
                            const platform::LayerPtr &visitor, const QPointer<MRKODraw> &visiting);
    /// Adds a dragged drawing or copy, keeping its own colour.
    void addMovedDrawing(const platform::LayerPtr &layer);
    [[nodiscard]] double backingScale() const;
    [[nodiscard]] bool isCurrentRectHasSize() const;
    [[nodiscard]] bool flashlightShown() const { return hasDarkOverlay(); }
    [[nodiscard]] QRect widgetRectForRect(const QRectF &rect) const;
    void showArrowOverlay(double width);

    // Pointer and stroke geometry (view points)
    QPointF m_point0, m_point1, m_point2, m_point3; // the last four pointer positions, oldest first
    QPointF m_mouseDownPoint;
    std::array<QPointF, 5> m_pointBatch{};
    qint64 m_pointIndex = 0;
    bool m_hasInitialBrushSegment = false;
    QRectF m_currentRect;  // the area the stroke in progress touched
    QRectF m_prevRendRect; // the area rendered last
    double m_maxDragBrushSize = 2;
    double m_lastDragBrushSize = 0;
    std::vector<QPointF> m_discardedPoints; // set aside by the pointer-rate limit
    platform::Path m_sharedPath;            // centre line of the stroke in progress
    platform::Path m_arrowOverlayPath;      // centre line of the quick-arrow head
    std::shared_ptr<platform::ShapeLayer> m_arrowOverlay;
    double m_currentArrowHeadWidth = 0;
    std::shared_ptr<MRKOPill> m_workingPill;
    std::shared_ptr<MRKOTextPill> m_workingTextPill;
    quint64 m_drawnToolType = 0;

    // Colour and size
    double m_brushSize = 10; // points
    quint64 m_thickness = 0;
    inkora::SrgbColor m_hueColor, m_prevHueColor, m_hueFirstColor;
    double m_mouseDownHue = 0;
    qint64 m_colorType = 0;
    qint64 m_dissolveMode = 0;
    quint64 m_auxAction = 0;
    quint64 m_quickAuxAction = 0;
    quint64 m_currentToolType = 0;
    quint64 m_toolType = 0;

    // Cache
    std::unique_ptr<inkora::StrokeCache> m_cache;
    QRectF m_contextRect; // what the cache covers, view points
    QImage m_croppedChunk;
    QRectF m_croppedChunkRect;
    double m_displayScale = 1;

    // Layers
    platform::LayerPtr m_viewLayer;
    MRKODrawBaseLayer *m_drawBaseLayer = nullptr; // not owned; the view layer when the base layer is in use
    platform::LayerPtr m_drawingsRoot; // holds the container, and a fading image of cleared drawings below it
    platform::LayerPtr m_layersContainer;
    std::unique_ptr<MRKOLayerOrder> m_layerOrder; // the finished drawings in z-order; made with the container
    std::vector<platform::LayerPtr> m_layersToFade;
    platform::LayerPtr m_moveClipping; // the part of a moved stroke that lies outside the cache

    // Pointer loop state
    bool m_isMouseDraggedEnough = false;
    bool m_moveFlag = false;
    bool m_straighten = false;
    bool m_filled = false;
    bool m_shftPressed = false;
    bool m_ctrlPressed = false;
    bool m_isEraser = false;
    bool m_selectiveFlashlightFlag = false;
    bool m_fullScreenDazadUdizByShortcut = false;
    double m_shftPressingTime = 0; // media time
    double m_ctrlPressingTime = 0;
    bool m_drawingInProgress = false;
    bool m_screenDisabled = false;

    // Flashlight, magnifier, whiteboard (view points)
    platform::LayerPtr m_backRoot;                       // below the drawings
    platform::LayerPtr m_overlayRoot;                    // above the canvas's own layer
    platform::LayerPtr m_darkBack;                       // the shade; none while the flashlight is off
    std::shared_ptr<platform::ShapeLayer> m_circleLayer; // the shade's mask: bounds and hole, even-odd
    platform::LayerPtr m_featherLayer;
    QPainterPath m_currentPath;
    QPointF m_circlePoint;
    QRectF m_circleRect;
    bool m_cursorHidden = false;
    bool m_magnifyToggleFlag = false;
    std::unique_ptr<platform::LocalEventMonitor> m_gestureLocalMonitor;
    std::unique_ptr<platform::RawInput::Monitor> m_gestureGlobalMonitor;
    platform::LayerPtr m_magLayer;
    platform::LayerPtr m_magnifyGlassLayer;
    std::unique_ptr<MRKOMagnifyG> m_magnifyG;
    std::unique_ptr<MRKOLowerThird> m_lowerThird;
    platform::LayerPtr m_whiteBack;
    std::unique_ptr<MRKOWhiteBackController> m_wbController;
    platform::LayerPtr m_frozenBack;
    qint64 m_wbLayout = 0;
    bool m_wbHidden = false;
    platform::TrackingAreas m_trackingAreas;
    platform::TrackingAreaPtr m_trackingArea; // over the bounds
    std::shared_ptr<platform::TrackingAreaOwner> m_trackingOwner;
    bool m_mouseIn = false;
    std::shared_ptr<MRKOBallLayer> m_ballLayer;             // on the canvas's own layer
    std::shared_ptr<MRKOEraserRingLayer> m_eraserRingLayer; // while the hover action is the eraser
    std::unique_ptr<MRKOCircleMenuProtocol> m_circleMenu;   // while the right button holds a radial menu

    // Selection
    platform::LayerPtr m_selectedLayer; // under the pointer, highlighted for the next click
    std::weak_ptr<platform::Layer> m_staticSelectionLayer;
    std::weak_ptr<platform::Layer> m_staticSelectionBoundingBox;
    std::unique_ptr<MRKOSelectedLayerControls> m_selectedLayerControls;
    std::optional<QCursor> m_auxCursor;   // the current action's cursor
    platform::LayerPtr m_timersContainer; // none until a timer runs

    qint64 m_index = 0;
    bool m_isArrowShowing = false; // shape previews
    bool m_showEllipse = false;
    MRKOWindowController *m_windowController = nullptr; // not owned; owns the window that owns this canvas
    std::unique_ptr<platform::EventQueue::UncompressedInput> m_uncompressedInput; // while shown
};
