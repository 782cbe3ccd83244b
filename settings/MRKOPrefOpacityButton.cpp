#include "settings/MRKOPrefOpacityButton.h"

#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QString kDrawingOpacityKey = QStringLiteral("DrawingOpacity");

double clampedOpacity(double value)
{
    return std::isnan(value) ? 0.05 : std::clamp(value, 0.05, 1.0);
}

} // namespace

MRKOPrefOpacityButton::MRKOPrefOpacityButton(QWidget *parent) : HoverSliderButton(parent)
{
    resize(32, 32);
}

MRKOPrefOpacityButton::~MRKOPrefOpacityButton()
{
    // The popover goes before the button leaves its superview.
    hideVolumePop();
}

void MRKOPrefOpacityButton::setDisableDraw(bool disable)
{
    m_disableDraw = disable;
    // The buttons under it take the presses; the tool bar passes the pointer's moves on for the hover.
    setAttribute(Qt::WA_TransparentForMouseEvents, disable);
    update();
}

double MRKOPrefOpacityButton::storedOpacity()
{
    return clampedOpacity(double(MRKOUtils::userDefaults().floatForKey(kDrawingOpacityKey)));
}

void MRKOPrefOpacityButton::sliderAction(double value)
{
    const double opacity = clampedOpacity(value);
    inkora::liveSettings().drawingOpacity = opacity;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setFloat(float(opacity), kDrawingOpacityKey);
    defaults.synchronize();
}

void MRKOPrefOpacityButton::paintEvent(QPaintEvent *)
{
    if (m_disableDraw)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, state() == 1 ? 90 : 40));
    painter.drawEllipse(QRectF(rect()).adjusted(6, 6, -6, -6));
}
