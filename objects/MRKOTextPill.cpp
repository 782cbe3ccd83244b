#include "objects/MRKOTextPill.h"

#include "platform/KeyedUnarchiver.h"

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

QString MRKOTextPill::archiveClassName() const
{
    return QStringLiteral("MRKOTextPill");
}

void MRKOTextPill::initWithCoder(platform::KeyedUnarchiver &coder)
{
    MRKOPill::initWithCoder(coder);
    setToolType(3);
}
