#include "settings/MRKOPreferencesViewController.h"

#include "app/AppDelegate.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/NSAppearance+isDarkAppearance.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Animation.h"
#include "platform/Services.h"
#include "platform/SavePanel.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "settings/PrefSlider.h"

#include <QCursor>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <limits>

using inkora::SliderEvent;

namespace {

constexpr double kBlinkDuration = 0.35;  // seconds of the rays
constexpr double kCircleDuration = 0.5;  // seconds of the ring
constexpr double kHighlightHue = 0.58;   // a blue

QColor highlightColor()
{
    return OnOffColor::rainbowColorWithHue(kHighlightHue).toQColor();
}

/// The pointer in the pane (points, y up).
QPointF pointerIn(const QWidget &pane)
{
    const QPointF local = pane.mapFromGlobal(QCursor::pos());
    return {local.x(), pane.height() - local.y()};
}

} // namespace

// ---- Sample arrow and text on the active canvas ----

namespace {
void showSample(quint64 toolType)
{
    AppDelegate *app = AppDelegate::shared();
    MRKODraw *canvas = app ? app->activeDrawView() : nullptr;
    if (!canvas)
        return;
    const quint64 previous = canvas->toolType();
    canvas->setToolType(toolType);
    canvas->showArrow();
    canvas->setToolType(previous);
}
} // namespace

void MRKOPreferencesViewController::previewArrow()
{
    showSample(1);
}

void MRKOPreferencesViewController::previewText()
{
    showSample(3);
}

// ---- Eraser ring while the eraser slider is held ----

void MRKOPreferencesViewController::previewEraser(int type)
{
    const double size = MRKODraw::eraserSize();
    const auto placeRing = [this, size] {
        const QPointF centre = pointerIn(*this);
        platform::TransactionScope transaction(true);
        m_eraserPreviewLayer->setFrame(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
        QPainterPath ring;
        ring.addEllipse(QRectF(1, 1, size - 2, size - 2));
        m_eraserPreviewLayer->setPath(ring);
    };
    switch (SliderEvent(type)) {
    case SliderEvent::MouseDown:
        m_eraserPreviewLayer = platform::ShapeLayer::create();
        m_eraserPreviewLayer->setName(QStringLiteral("eraserRing"));
        m_eraserPreviewLayer->setFillColor(QColor(255, 255, 255, 40));
        m_eraserPreviewLayer->setStrokeColor(QColor(0, 0, 0, 160));
        m_eraserPreviewLayer->setLineWidth(2);
        placeRing();
        overlayLayer()->addSublayer(m_eraserPreviewLayer);
        break;
    case SliderEvent::MouseDragged:
        if (m_eraserPreviewLayer)
            placeRing();
        break;
    case SliderEvent::MouseUp:
        if (m_eraserPreviewLayer)
            m_eraserPreviewLayer->removeFromSuperlayer();
        m_eraserPreviewLayer.reset();
        break;
    case SliderEvent::None:
        break;
    }
}

// ---- Flashlight on the canvas under the pointer while a flashlight slider is held ----

void MRKOPreferencesViewController::previewFlashlight(int type)
{
    AppDelegate *app = AppDelegate::shared();
    MRKOWindowController *controller = app ? app->windowControllerForMouseLocation() : nullptr;
    MRKODraw *canvas = controller ? controller->drawView() : nullptr;
    switch (SliderEvent(type)) {
    case SliderEvent::MouseDown:
        m_previewDrawView = canvas;
        if (!canvas)
            return;
        m_hasFlashlight = canvas->hasDarkOverlay();
        if (!m_hasFlashlight)
            (void)canvas->makeDarkOverlayWithEvent(nullptr);
        updatePreviewFlashlight();
        break;
    case SliderEvent::MouseDragged:
        updatePreviewFlashlight();
        break;
    case SliderEvent::MouseUp:
        if (!m_hasFlashlight && m_previewDrawView)
            m_previewDrawView->removeDarkOverlay();
        break;
    case SliderEvent::None:
        break;
    }
}

void MRKOPreferencesViewController::updatePreviewFlashlight()
{
    if (!m_previewDrawView)
        return;
    // The hole sits at the pane window's bottom-right corner, beside the controls.
    const QRect frame = window()->frameGeometry();
    const QPointF local = m_previewDrawView->mapFromGlobal(QPointF(frame.right() + 1, frame.bottom() + 1));
    constexpr double kFar = std::numeric_limits<double>::max();
    m_previewDrawView->showCircleAtPoint(QPointF(local.x(), m_previewDrawView->height() - local.y()),
                                         QPointF(kFar, kFar), false);
}

// ---- Click highlights in the pane's overlay ----

void MRKOPreferencesViewController::blinkForPoint(QPointF point)
{
    static constexpr std::array<QPointF, 8> kEnds = {
        QPointF(62, 122),        QPointF(62, 2),          QPointF(122, 62),       QPointF(2, 62),
        QPointF(104.42, 104.42), QPointF(104.42, 19.58), QPointF(19.58, 19.58), QPointF(19.58, 104.42),
    };
    std::vector<std::shared_ptr<platform::ShapeLayer>> rays;
    {
        platform::TransactionScope setUp(true);
        for (const QPointF &end : kEnds) {
            auto ray = platform::ShapeLayer::create();
            ray->setFrame(QRectF(point - QPointF(62, 62), QSizeF(124, 124)));
            QPainterPath path(QPointF(62, 62));
            path.lineTo(end);
            ray->setPath(path);
            ray->setStrokeEnd(0.35);
            ray->setLineWidth(4.0);
            ray->setLineCap(Qt::RoundCap);
            ray->setStrokeColor(highlightColor());
            ray->setFillColor(Qt::transparent);
            overlayLayer()->addSublayer(ray);
            rays.push_back(ray);
        }
    }
    platform::Transaction::begin();
    // Weak: the layers keep their animations, whose completion must not keep the layers.
    std::vector<std::weak_ptr<platform::ShapeLayer>> weakRays(rays.begin(), rays.end());
    platform::Transaction::setCompletionBlock([weakRays] {
        for (const auto &weak : weakRays) {
            if (const auto ray = weak.lock())
                ray->removeFromSuperlayer();
        }
    });
    const auto animation = [](const char *key, const QVariant &from, const QVariant &to, bool easeInOut) {
        auto basic = std::make_shared<platform::BasicAnimation>(QLatin1String(key));
        if (from.isValid())
            basic->setFromValue(from);
        basic->setToValue(to);
        basic->setDuration(kBlinkDuration);
        if (easeInOut)
            basic->setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut));
        return basic;
    };
    platform::AnimationGroup group;
    group.setDuration(kBlinkDuration);
    group.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::Linear));
    group.setAnimations({animation("strokeStart", {}, 1.0, true), animation("strokeEnd", 0.35, 1.0, true),
                         animation("opacity", {}, 0.0, false)});
    group.setFillMode(platform::Animation::FillMode::Forwards);
    group.setRemovedOnCompletion(false);
    for (const auto &ray : rays)
        ray->addAnimation(group, QStringLiteral("blink"));
    platform::Transaction::commit();
}

void MRKOPreferencesViewController::blinkForPointCircle(QPointF point)
{
    const QPointF centre(102.5, 102.5);
    const auto circle = [&centre](double radius) {
        QPainterPath path;
        path.addEllipse(centre, radius, radius);
        return path;
    };
    auto ring = platform::ShapeLayer::create();
    {
        platform::TransactionScope setUp(true);
        ring->setFrame(QRectF(point - centre, QSizeF(205, 205)));
        ring->setPath(circle(5));
        ring->setLineWidth(5.0);
        ring->setLineCap(Qt::RoundCap);
        ring->setStrokeColor(highlightColor());
        ring->setFillColor(Qt::transparent);
        overlayLayer()->addSublayer(ring);
    }
    platform::Transaction::begin();
    platform::Transaction::setCompletionBlock([weak = std::weak_ptr(ring)] {
        if (const auto layer = weak.lock())
            layer->removeFromSuperlayer();
    });
    auto grow = std::make_shared<platform::KeyframeAnimation>(QStringLiteral("path"));
    grow->setValues({QVariant::fromValue(circle(5)), QVariant::fromValue(circle(100))});
    grow->setKeyTimes({0.0, 1.0});
    grow->setDuration(kCircleDuration);
    grow->setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut));
    grow->setRemovedOnCompletion(false);
    auto fade = std::make_shared<platform::BasicAnimation>(QStringLiteral("opacity"));
    fade->setToValue(0.0);
    fade->setDuration(kCircleDuration);
    fade->setFillMode(platform::Animation::FillMode::Forwards);
    fade->setRemovedOnCompletion(false);
    platform::AnimationGroup group;
    group.setDuration(kCircleDuration);
    group.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::Linear));
    group.setFillMode(platform::Animation::FillMode::Forwards);
    group.setRemovedOnCompletion(false);
    group.setAnimations({grow, fade});
    ring->addAnimation(group, QStringLiteral("circle"));
    platform::Transaction::commit();
}

// ---- Help texts ----

QString MRKOPreferencesViewController::prefDescriptionWithSEL(const QString &selector)
{
    const QString activation = QStringLiteral(
        "When option is set to \"Only Show\"\nInkora will be shown without activation that causes\nwindows "
        "reordering and brings itself on front to receive\nkeyboard actions (one key shortcuts for instance).\n "
        "\nTouch Bar is sensitive for key status of the app.\nWhen you select this option and activate Inkora\n%1\n "
        "\nIt may be useful for Keynote in Presentation mode\nor for apps with panels that hides\nafter Inkora "
        "activation.");
    if (selector == QLatin1String("simulateArrowKeysAction:"))
        return QStringLiteral("This option might be helpful when you are using\npresentation apps that couldn't be "
                              "controlled by Inkora\n but has a feature to change slides using arrow keys on "
                              "keyboard.\n \nThe keystroke will be sent directly to a previous active app.");
    if (selector == QLatin1String("forwardUnusedKeysAction:"))
        return QStringLiteral("This option allows you to route all unused keystrokes to next application.\nFor "
                              "instance you can forward Space or Arrow keys pressing to presentation app.");
    if (selector == QLatin1String("useBrushCursorAction:"))
        return QStringLiteral("This option replaces a standard arrow cursor with a brush cursor.\nThe cursor will "
                              "only appear if Inkora is a foreground app.\nDouble Click on drawing surface can bring "
                              "Inkora on foreground.\n \n However, it will not work over standard Keynote "
                              "presentation.\nBut it will work using \"Play Slideshow in Window\"");
    if (selector == QLatin1String("activationWithToolbarAction:"))
        return activation.arg(QStringLiteral("with toolbar Touch Bar will match previous app."));
    if (selector == QLatin1String("activationWithoutToolbarAction:"))
        return activation.arg(QStringLiteral("without toolbar Touch Bar will match previous app."));
    return QStringLiteral("No Description");
}

// ---- The pane as PDF ----

void MRKOPreferencesViewController::saveAsPDF()
{
    MRKOFrontmostApp::beginSaveOperation();
    const QString path = platform::services().savePanel
                             ? platform::services().savePanel->runModal(QStringLiteral("Inkora Settings"),
                                                                        {QStringLiteral("pdf")})
                             : QString();
    if (!path.isEmpty())
        (void)writePDF(path);
    MRKOFrontmostApp::endSaveOperation();
}

bool MRKOPreferencesViewController::writePDF(const QString &path) const
{
    const QSize size = m_containerView->size();
    QPdfWriter writer(path);
    writer.setResolution(72); // one point per pixel: the page is the container's size in points
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        qCWarning(lcSettings).noquote() << QStringLiteral("saveAsPDF: %1 cannot be written; no file is saved").arg(path);
        return false;
    }
    const double grey = isDarkAppearance::effectiveAppearanceIsDark(palette()) ? 0.13 : 0.95;
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), QColor::fromRgbF(float(grey), float(grey), float(grey)));
    // The page's grey is the background: the container itself paints none, as inside the scroll view it would.
    const bool autoFill = m_containerView->autoFillBackground();
    m_containerView->setAutoFillBackground(false);
    m_containerView->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    m_containerView->setAutoFillBackground(autoFill);
    return painter.end();
}
