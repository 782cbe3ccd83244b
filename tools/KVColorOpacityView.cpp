#include "tools/KVColorOpacityView.h"

#include "tools/KPColorPickerView.h"
#include "tools/KPPickerBall.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTouchEvent>

#include <algorithm>
#include <cmath>

KVColorOpacityView::KVColorOpacityView(QWidget *parent) : QWidget(parent), m_colorBall(new KPPickerBall(this))
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    m_colorBall->setInsets({1, 1, 1, 1});
    m_colorBall->show();
    layoutSubviews();
}

double KVColorOpacityView::edge() const
{
    return m_colorBall->insets().left + m_colorBall->borderWidth();
}

double KVColorOpacityView::lowestX() const
{
    return height() / 2.0 + 4 - edge();
}

double KVColorOpacityView::travel() const
{
    return width() - 8 - height() + 2 * edge();
}

void KVColorOpacityView::setOpacity(double value)
{
    m_value = std::clamp(value, m_minValue, m_maxValue);
    updateSlider();
}

void KVColorOpacityView::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    setOpacity(color.alpha());
    m_colorBall->setFillColor(color);
    update();
}

void KVColorOpacityView::setOpaqueColor(const inkora::SrgbColor &color)
{
    m_opaqueColor = color;
    update();
}

void KVColorOpacityView::layoutSubviews()
{
    updateSlider();
}

void KVColorOpacityView::updateSlider()
{
    const double h = height();
    const double x = lowestX() + travel() * m_value;
    const double originX = std::floor(float(x + 0.5 - h / 2));
    // A square of the view's height whose y-up origin is 0: the same in Qt's coordinates.
    m_colorBall->setGeometry(int(originX), 0, int(h), int(h));
}

void KVColorOpacityView::handlePointInView(QPointF point)
{
    const double t = travel();
    if (t <= 0)
        return;
    setOpacity(std::min(t, std::max(0.0, point.x() - lowestX())) / t);
    invokeTarget();
}

void KVColorOpacityView::invokeTarget()
{
    if (!m_pickerView)
        return;
    m_pickerView->setColorSource(KPColorSourceOpacitySlider);
    m_pickerView->updateColorWithOpacity();
    m_pickerView->invokeDelegate();
}

QImage KVColorOpacityView::checkerboard4WithSize(QSize size)
{
    static const QImage board = [size] {
        QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        const QColor grey = QColor::fromRgbF(0.82f, 0.82f, 0.82f);
        // Squares of 4 with a corner at (4, 4), y up: the grey one above and right of it.
        for (int y = 0; y < image.height(); ++y) {
            const int yUp = image.height() - 1 - y;
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const bool even = ((x / 4) + (yUp / 4)) % 2 == 0;
                line[x] = even ? grey.rgb() : qRgb(255, 255, 255);
            }
        }
        return image;
    }();
    return board;
}

void KVColorOpacityView::paintEvent(QPaintEvent *)
{
    const double w = width();
    const double h = height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath track;
    const double radius = std::floor((h - 8) / 2);
    track.addRoundedRect(QRectF(4, 4, w - 8, h - 8), radius, radius);
    painter.setClipPath(track);
    painter.drawImage(QPointF(0, 0), checkerboard4WithSize(size()));
    QLinearGradient fade(0, 0, w, 0);
    fade.setColorAt(0, m_opaqueColor.withAlpha(0).toQColor());
    fade.setColorAt(1, m_opaqueColor.toQColor());
    painter.fillRect(rect(), fade);
}

void KVColorOpacityView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void KVColorOpacityView::mousePressEvent(QMouseEvent *event)
{
    if (m_pickerView)
        m_pickerView->resetSendedColors();
    handlePointInView(event->position());
}

void KVColorOpacityView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        handlePointInView(event->position());
}

void KVColorOpacityView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pickerView)
        m_pickerView->resetSendedColorsIfNeeded();
    handlePointInView(event->position());
}

bool KVColorOpacityView::event(QEvent *event)
{
    if (event->type() == QEvent::TouchBegin || event->type() == QEvent::TouchUpdate) {
        const auto *touch = static_cast<QTouchEvent *>(event);
        const QEventPoint::State wanted =
            event->type() == QEvent::TouchBegin ? QEventPoint::Pressed : QEventPoint::Updated;
        for (const QEventPoint &point : touch->points()) {
            if (point.state() == wanted) {
                handlePointInView(point.position());
                break;
            }
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::TouchEnd) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}
