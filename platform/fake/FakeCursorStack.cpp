#include "platform/fake/FakeCursorStack.h"

#include <QPixmap>

namespace platform {

namespace {

QString shapeName(Qt::CursorShape shape)
{
    switch (shape) {
    case Qt::ArrowCursor:
        return QStringLiteral("arrow");
    case Qt::OpenHandCursor:
        return QStringLiteral("openHand");
    case Qt::ClosedHandCursor:
        return QStringLiteral("closedHand");
    case Qt::DragCopyCursor:
        return QStringLiteral("dragCopy");
    default:
        return QStringLiteral("shape%1").arg(int(shape));
    }
}

} // namespace

void FakeCursorStack::push(const QCursor &cursor)
{
    m_stack.push_back(cursor);
    m_calls.append(QStringLiteral("push ") + nameOf(cursor));
}

void FakeCursorStack::pop()
{
    if (m_stack.empty()) {
        m_calls.append(QStringLiteral("pop on empty"));
        return;
    }
    m_calls.append(QStringLiteral("pop"));
    m_stack.pop_back();
}

void FakeCursorStack::nameCursor(const QCursor &cursor, const QString &name)
{
    m_names.emplace_back(cursor.pixmap().cacheKey(), name);
}

QString FakeCursorStack::nameOf(const QCursor &cursor) const
{
    if (cursor.shape() != Qt::BitmapCursor)
        return shapeName(cursor.shape());
    const qint64 key = cursor.pixmap().cacheKey();
    for (const auto &[k, name] : m_names)
        if (k == key)
            return name;
    return QStringLiteral("bitmap");
}

QString FakeCursorStack::top() const
{
    return m_stack.empty() ? QString() : nameOf(m_stack.back());
}

} // namespace platform
