#pragma once

#include <QColor>
#include <QRectF>

class QFrame;
class QWidget;

namespace inkora {

/// The text colour at a quarter strength, as disabled controls and hairlines draw.
[[nodiscard]] QColor tertiaryLabelColor();

/// A separator box: a thin horizontal line along the middle of `frame` (points, y up in the parent), made as a
/// child of the parent.
QFrame *makeSeparatorBox(QWidget &parent, const QRectF &frame);
/// Places a widget by its frame in the parent's y-up points.
void setFrameInParent(QWidget &widget, const QRectF &frame);
/// A widget's frame in its parent's y-up points.
[[nodiscard]] QRectF frameInParent(const QWidget &widget);

} // namespace inkora
