#include "snapshots/StoreRecord.h"

#include "snapshots/StoreContext.h"

namespace inkora {

StoreRecord::StoreRecord(StoreContext *context) : m_context(context) {}

StoreRecord::~StoreRecord() = default;

void StoreRecord::noteChange()
{
    m_dirty = true;
    if (m_context)
        m_context->noteChange();
}

void StoreRecord::noteStoreChange()
{
    if (m_context)
        m_context->noteChange();
}

QString StoreRecord::name() const
{
    const std::lock_guard lock(m_textMutex);
    return m_name;
}

void StoreRecord::setName(const QString &name)
{
    {
        const std::lock_guard lock(m_textMutex);
        if (m_name == name)
            return;
        m_name = name;
    }
    noteChange();
}

void StoreRecord::setDate(const QDateTime &date)
{
    m_date = date;
    noteChange();
}

void StoreRecord::setRate(qint32 rate)
{
    m_rate = rate;
    noteChange();
}

void StoreRecord::setColorTag(qint32 colorTag)
{
    m_colorTag = colorTag;
    noteChange();
}

QString StoreRecord::tags() const
{
    const std::lock_guard lock(m_textMutex);
    return m_tags;
}

void StoreRecord::setTags(const QString &tags)
{
    {
        const std::lock_guard lock(m_textMutex);
        m_tags = tags;
    }
    noteChange();
}

QString StoreRecord::text() const
{
    const std::lock_guard lock(m_textMutex);
    return m_text;
}

void StoreRecord::setText(const QString &text)
{
    {
        const std::lock_guard lock(m_textMutex);
        m_text = text;
    }
    noteChange();
}

bool isSafePathComponent(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace inkora
