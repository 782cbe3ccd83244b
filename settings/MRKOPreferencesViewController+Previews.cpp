#include "app/AppDelegate.h"
#include "app/MRKOFrontmostApp.h"
#include "canvas/ClickHighlight.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/NSAppearance+isDarkAppearance.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/PanePdf.h"
#include "platform/Animation.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/PrefSlider.h"

#include <QCursor>
#include <QFile>

#include <array>
#include <limits>

using inkora::SliderEvent;

namespace {

constexpr double kHighlightHue = 0.58; // a blue

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
    inkora::addRayBurst(*overlayLayer(), point, highlightColor());
}

void MRKOPreferencesViewController::blinkForPointCircle(QPointF point)
{
    inkora::addGrowingRing(*overlayLayer(), point, highlightColor());
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
    const QString path =
        platform::services().savePanel
            ? platform::services().savePanel->runModal(QStringLiteral("Inkora Settings"), {QStringLiteral("pdf")})
            : QString();
    if (!path.isEmpty())
        (void)writePDF(path);
    MRKOFrontmostApp::endSaveOperation();
}

bool MRKOPreferencesViewController::writePDF(const QString &path) const
{
    return inkora::writePanePdf(*m_containerView, path, isDarkAppearance::effectiveAppearanceIsDark(palette()),
                                "saveAsPDF");
}
