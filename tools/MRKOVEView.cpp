#include "tools/MRKOVEView.h"

#include "foundation/MRKOUtilsAux.h"
#include "platform/ImageLoader.h"
#include "settings/MRKOPrefOpacityButton.h"
#include "tools/MRKOTools.h"
#include "tools/SeparatorBox.h"

#include <QPainter>

namespace {

const QColor kFill(36, 36, 38, 235);
constexpr double kCursorOffset = 3; // points the cursor image's top-left corner lies left of and above the pointer

/// The drawn brush cursor: its image, at the pane's scale.
class FakeCursor final : public QWidget
{
public:
    explicit FakeCursor(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        m_image = platform::ImageLoader::namedImage(QStringLiteral("MRKOBrushCursor"), devicePixelRatioF());
        const QSizeF size = m_image.isNull() ? QSizeF(16, 16) : QSizeF(m_image.size()) / m_image.devicePixelRatio();
        resize(size.toSize());
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(QRectF(rect()), m_image);
    }

private:
    QImage m_image;
};

} // namespace

MRKOVEView::MRKOVEView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void MRKOVEView::trackOpacityButton(QPointF location, bool inside)
{
    MRKOPrefOpacityButton *button = m_toolsController ? m_toolsController->prefOpacityButton() : nullptr;
    if (button)
        button->updateHighlightIfNeeded(inside && inkora::frameInParent(*button).contains(location));
}

void MRKOVEView::mouseEntered(QPointF location)
{
    trackOpacityButton(location, true);
    if (MRKOUtilsAux::systemCursorIsVisible())
        return;
    makeFakeCursorLayerIfNeeded();
    updateFakeCursorPosition(location);
    m_cursorWasHidden = true;
}

void MRKOVEView::mouseMoved(QPointF location)
{
    trackOpacityButton(location, true);
    if (!MRKOUtilsAux::systemCursorIsVisible() && m_fakeCursorLayer)
        updateFakeCursorPosition(location);
    else
        removeFakeCursorIfNeeded();
}

void MRKOVEView::mouseExited()
{
    trackOpacityButton(QPointF(), false);
    if (!m_cursorWasHidden)
        return;
    removeFakeCursorIfNeeded();
    m_cursorWasHidden = false;
}

void MRKOVEView::hitTest()
{
    if (m_cursorWasHidden && MRKOUtilsAux::systemCursorIsVisible())
        removeFakeCursorIfNeeded();
}

void MRKOVEView::makeFakeCursorLayerIfNeeded()
{
    if (m_fakeCursorLayer)
        return;
    auto *layer = new FakeCursor(this); // child
    layer->move(0, height() - layer->height());
    layer->show();
    m_fakeCursorLayer = layer;
}

void MRKOVEView::updateFakeCursorPosition(QPointF location)
{
    if (!m_fakeCursorLayer)
        return;
    // The image's top-left corner 3 points left of and above the pointer; Qt places by that corner, y down.
    m_fakeCursorLayer->move(int(location.x() - kCursorOffset), int(height() - location.y() - kCursorOffset));
    m_fakeCursorLayer->raise();
}

void MRKOVEView::removeFakeCursorIfNeeded()
{
    if (!m_fakeCursorLayer)
        return;
    m_fakeCursorLayer->hide();
    m_fakeCursorLayer->deleteLater();
    m_fakeCursorLayer = nullptr;
}

void MRKOVEView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kFill);
}
