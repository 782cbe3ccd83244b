#include "snapshots/StoreContext.h"

#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/StoreDatabase.h"

#include <algorithm>

namespace inkora {

StoreContext::StoreContext(StoreDatabase &database, const QString &schema, const QString &name)
    : m_database(database), m_schema(schema), m_name(name)
{}

StoreContext::~StoreContext()
{
    // Records that outlive their store keep working as plain values.
    for (const std::shared_ptr<Sequence> &sequence : m_sequences) {
        sequence->m_context = nullptr;
        for (const std::shared_ptr<SnapInfo> &info : sequence->snapInfos().objects())
            info->m_context = nullptr;
    }
}

std::shared_ptr<Sequence> StoreContext::insertSequence()
{
    std::shared_ptr<Sequence> sequence(new Sequence(this));
    m_sequences.push_back(sequence);
    sequence->m_dirty = true;
    noteChange();
    return sequence;
}

std::shared_ptr<SnapInfo> StoreContext::insertSnapInfo()
{
    std::shared_ptr<SnapInfo> info(new SnapInfo(this));
    info->m_dirty = true;
    noteChange();
    return info;
}

void StoreContext::deleteObject(const std::shared_ptr<Sequence> &sequence)
{
    if (!sequence || sequence->m_context != this)
        return;
    std::erase(m_sequences, sequence);
    if (sequence->m_id != 0)
        m_deletedSequenceIds.push_back(sequence->m_id); // its records' rows go with it
    for (const std::shared_ptr<SnapInfo> &info : sequence->snapInfos().objects())
        info->m_context = nullptr;
    sequence->m_context = nullptr;
    noteChange();
}

void StoreContext::deleteObject(const std::shared_ptr<SnapInfo> &info)
{
    if (!info || info->m_context != this)
        return;
    if (const std::shared_ptr<Sequence> owner = info->sequence())
        owner->snapInfos().removeObject(info.get());
    if (info->m_id != 0)
        m_deletedInfoIds.push_back(info->m_id);
    info->m_context = nullptr;
    noteChange();
}

bool StoreContext::fetchSequences(std::vector<std::shared_ptr<Sequence>> *sequences, QString *error)
{
    if (!m_loaded) {
        if (!m_database.load(*this, error))
            return false;
        m_loaded = true;
    }
    *sequences = m_sequences;
    return true;
}

bool StoreContext::save(QString *error)
{
    return m_database.save({this}, error);
}

} // namespace inkora
