#include "foundation/PanePdf.h"

#include "foundation/InkoraLog.h"

#include <QPainter>
#include <QPdfWriter>
#include <QWidget>

namespace inkora {

bool writePanePdf(QWidget &container, const QString &path, bool dark, const char *operation)
{
    const QSize size = container.size();
    QPdfWriter writer(path);
    writer.setResolution(72); // one point per pixel: the page is the container's size in points
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        qCWarning(lcFoundation).noquote()
            << QStringLiteral("%1: %2 cannot be written; no file is saved").arg(QLatin1String(operation), path);
        return false;
    }
    const double grey = dark ? 0.13 : 0.95;
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), QColor::fromRgbF(float(grey), float(grey), float(grey)));
    // The page's grey is the background: the container itself paints none, as inside the scroll view it would.
    const bool autoFill = container.autoFillBackground();
    container.setAutoFillBackground(false);
    container.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    container.setAutoFillBackground(autoFill);
    return painter.end();
}

} // namespace inkora
