#include "platform/linux/QtCursorStack.h"

#include "platform/PlatformLog.h"

#include <QGuiApplication>

namespace platform {

void QtCursorStack::push(const QCursor &cursor)
{
    QGuiApplication::setOverrideCursor(cursor);
    ++m_depth;
}

void QtCursorStack::pop()
{
    if (m_depth == 0) {
        qCDebug(lcPlatform) << "CursorStack::pop: nothing pushed; ignored";
        return;
    }
    --m_depth;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
