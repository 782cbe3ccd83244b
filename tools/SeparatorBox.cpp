#include "tools/SeparatorBox.h"

#include "platform/Geometry.h"

#include <QFrame>
#include <QGuiApplication>
#include <QPalette>

namespace inkora {

QColor tertiaryLabelColor()
{
    QColor text = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText).toRgb();
    text.setAlphaF(text.alphaF() * 0.26f);
    return text;
}

QFrame *makeSeparatorBox(QWidget &parent, const QRectF &frame)
{
    auto *box = new QFrame(&parent); // child
    box->setFrameShape(QFrame::HLine);
    box->setFrameShadow(QFrame::Plain);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, tertiaryLabelColor());
    box->setPalette(palette);
    setFrameInParent(*box, frame);
    return box;
}

void setFrameInParent(QWidget &widget, const QRectF &frame)
{
    const double height = widget.parentWidget() ? widget.parentWidget()->height() : frame.height();
    widget.setGeometry(platform::flipY(frame, height).toRect());
}

QRectF frameInParent(const QWidget &widget)
{
    const double height = widget.parentWidget() ? widget.parentWidget()->height() : widget.height();
    return platform::flipY(QRectF(widget.geometry()), height);
}

} // namespace inkora
