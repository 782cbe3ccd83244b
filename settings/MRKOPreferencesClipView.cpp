#include "settings/MRKOPreferencesClipView.h"

#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/Popover.h"
#include "settings/MRKOSideSettings.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>

MRKOPreferencesClipView::MRKOPreferencesClipView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MRKOPreferencesClipView"));
}

MRKOPreferencesClipView::~MRKOPreferencesClipView() = default;

bool MRKOPreferencesClipView::opensSideSettings(quint64 modifierFlags, int clickCount)
{
    return (modifierFlags & kGestureMask) == kGestureMask && clickCount == 2;
}

int MRKOPreferencesClipView::clickCountFor(const QMouseEvent &event)
{
    const QPoint position = event.position().toPoint();
    const quint64 time = event.timestamp();
    const bool follows =
        m_clickCount > 0 &&
        time - m_lastPressTime <= quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval()) &&
        (position - m_lastPressPosition).manhattanLength() <= QGuiApplication::styleHints()->mouseDoubleClickDistance();
    m_clickCount = follows ? m_clickCount + 1 : 1;
    m_lastPressTime = time;
    m_lastPressPosition = position;
    return m_clickCount;
}

void MRKOPreferencesClipView::watchPresses()
{
    removeEventFilter(this);
    installEventFilter(this); // the latest filter runs first
}

bool MRKOPreferencesClipView::eventFilter(QObject *watched, QEvent *event)
{
    // Qt sends the second press of a double click as an event of its own: it counts as a press. The event goes
    // on to the scroll area either way.
    if (watched == this &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto &press = *static_cast<QMouseEvent *>(event);
        if (press.button() == Qt::LeftButton) {
            const int clickCount = clickCountFor(press);
            mouseDown(press.position().toPoint(), platform::modifierFlagsFromQt(press.modifiers()), clickCount);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MRKOPreferencesClipView::mouseDown(QPoint location, quint64 modifierFlags, int clickCount)
{
    if (!opensSideSettings(modifierFlags, clickCount))
        return;
    // A 4 x 4 rectangle at the pointer, in the view's points with y up; the popover opens to its left once the
    // press is over, so that the press does not count as one outside the new popover.
    const QRectF at(location.x(), height() - location.y(), 4, 4);
    platform::DispatchQueue::main().async([self = QPointer<MRKOPreferencesClipView>(this), at] {
        if (!self)
            return;
        self->m_sideSettings = MRKOSideSettingsPopover::settingsPopover();
        self->m_sideSettings->showRelativeToRect(at, self, platform::RectEdge::MinX);
    });
}
