#include "tools/KVColorTextField.h"

#include "foundation/NSEvent+MouseEvent.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/TextScanning.h"
#include "platform/Dispatch.h"

#include <QPointer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

/// The whole steps of a scroll delta. A wheel notch is half a step: it still moves one, or a plain mouse wheel
/// could never step a value.
int stepsOfDelta(const platform::Event &event, double delta)
{
    const int steps = int(delta);
    if (steps == 0 && !event.hasPreciseScrollingDeltas && delta != 0)
        return delta > 0 ? 1 : -1;
    return steps;
}

} // namespace

KVColorTextField::KVColorTextField(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::editingFinished, this, [this] { invokeAction(); });
}

void KVColorTextField::setCell(const KVPaddedTextFieldCell &cell)
{
    m_cell = cell;
    const QRectF inner = cell.drawingRectForBounds(QRectF(0, 0, width(), height()));
    setTextMargins(int(inner.x()), 0, 0, 0);
}

void KVColorTextField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // After the click that focused the field has placed the caret.
    QPointer<KVColorTextField> self(this);
    platform::DispatchQueue::main().async([self] {
        if (self)
            self->selectAll();
    });
}

void KVColorTextField::wheelEvent(QWheelEvent *event)
{
    if (const auto converted = platform::eventFromQt(*event, platform::EventContext{double(height()), 0, false}))
        scrollWheel(*converted, event->position());
    event->accept();
}

void KVColorTextField::scrollWheel(const platform::Event &event, QPointF pointer)
{
    const double delta = MouseEvent::scrollingDeltaForBoothDirections(event);
    const int steps = stepsOfDelta(event, delta);
    if (m_colorTextFormat == Decimal) {
        setText(QString::number(qint64(inkora::leadingInteger(text())) + steps));
    } else if (m_colorTextFormat == Hexadecimal) {
        if (hasFocus()) {
            setText(Bezier::preProcessedHexString(text()));
        } else {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        }
        const int index = std::min(cursorPositionAt(pointer.toPoint()), 5);
        const int component = index / 2; // 0 red, 1 green, 2 blue
        std::uint32_t value = 0;
        if (!inkora::scanHexUInt32(text(), &value))
            value = 0;
        int parts[3] = {int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF)};
        parts[component] = std::clamp(parts[component] + steps, 0, 255);
        setText(QString::asprintf("%02X%02X%02X", parts[0], parts[1], parts[2]));
    } else {
        return;
    }
    invokeAction();
}

void KVColorTextField::invokeAction()
{
    emit actionSent(this);
}
