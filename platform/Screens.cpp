#include "platform/Screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {

QRect mainGeometry()
{
    const QScreen *main = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return main ? main->geometry() : QRect();
}

} // namespace

QRectF frameFromQt(const QRect &geometry, const QRect &mainGeometry)
{
    const double mainBottom = double(mainGeometry.y()) + mainGeometry.height();
    return {double(geometry.x() - mainGeometry.x()), mainBottom - (double(geometry.y()) + geometry.height()),
            double(geometry.width()), double(geometry.height())};
}

QRectF frameFromQt(const QRect &geometry)
{
    return frameFromQt(geometry, mainGeometry());
}

QRect qtFromFrame(const QRectF &frame)
{
    return qtFromFrame(frame, mainGeometry());
}

QRect qtFromFrame(const QRectF &frame, const QRect &main)
{
    const double mainBottom = double(main.y()) + main.height();
    return QRectF(frame.x() + main.x(), mainBottom - (frame.y() + frame.height()), frame.width(), frame.height())
        .toRect();
}

QPointF pointFromQt(const QPointF &point)
{
    const QRect main = mainGeometry();
    return {point.x() - main.x(), double(main.y()) + main.height() - point.y()};
}

QPointF qtFromPoint(const QPointF &point)
{
    const QRect main = mainGeometry();
    return {point.x() + main.x(), double(main.y()) + main.height() - point.y()};
}

} // namespace platform
