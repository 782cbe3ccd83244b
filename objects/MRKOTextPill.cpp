#include "objects/MRKOTextPill.h"

MRKOTextPill::MRKOTextPill()
{
    setToolType(3);
}

std::shared_ptr<MRKOPill> MRKOTextPill::copy() const
{
    return std::shared_ptr<MRKOPill>(new MRKOTextPill(*this));
}

bool MRKOTextPill::isKindOfReceiverClass(const MRKOPill &other) const
{
    return dynamic_cast<const MRKOTextPill *>(&other) != nullptr;
}
