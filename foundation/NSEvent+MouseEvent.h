#pragma once

#include "platform/Event.h"

#include <QRectF>

/// Event helpers shared by the canvas and the tool bar: event classification, synthetic events and the
/// scroll-wheel factor of every scroll-driven setting.
namespace MouseEvent {

/// Left-mouse-down, -up or -dragged.
[[nodiscard]] bool isTypeLeftMouseEvent(const platform::Event &event);
/// Left-mouse-dragged, or a direct-touch event with a moved touch.
[[nodiscard]] bool isTypeDragging(const platform::Event &event);
/// isTypeDragging of the event being dispatched; NO when there is none.
[[nodiscard]] bool isCurrentAppEventTypeDragging();

/// (dx + dy) x 0.5 of the precise deltas when the event has them, else of the line deltas; dy is negated when
/// the direction is inverted from the device.
[[nodiscard]] double scrollingDeltaForBoothDirections(const platform::Event &event);
[[nodiscard]] double scrollingDeltaForColorHue(const platform::Event &event);
[[nodiscard]] double scrollingDeltaForEraserSize(const platform::Event &event);
[[nodiscard]] double scrollingDeltaForFontSize(const platform::Event &event);
[[nodiscard]] double scrollingDeltaForMagnifyScale(const platform::Event &event);
[[nodiscard]] double scrollingDeltaForFlashlightRadius(const platform::Event &event);

/// Mouse-entered (or exited) event at the pointer location in the window.
[[nodiscard]] platform::Event mouseEnteredEventWithWinodw(qint64 windowNumber, QPointF pointerInWindow);
[[nodiscard]] platform::Event mouseExitedEventWithWinodw(qint64 windowNumber, QPointF pointerInWindow);

/// Left-mouse-down (or up) 2 points below the top of the content frame at x = 20; the zero frame when the
/// window has no content view.
[[nodiscard]] platform::Event mouseDownWithToolbar(qint64 windowNumber, const QRectF &contentFrame);
[[nodiscard]] platform::Event mouseUpWithToolbar(qint64 windowNumber, const QRectF &contentFrame);

/// The key-down twin of a key-up: same location, flags, time stamp and key code; no characters; window -1.
[[nodiscard]] platform::Event keyDownWithKeyUpEvent(const platform::Event &keyUp);
/// Key-down of Return at (0, 0), everything else empty.
[[nodiscard]] platform::Event returnPressingEvent();

} // namespace MouseEvent
