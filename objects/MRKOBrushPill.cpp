#include "objects/MRKOBrushPill.h"

MRKOBrushPill::MRKOBrushPill()
{
    setToolType(0);
}

std::shared_ptr<MRKOPill> MRKOBrushPill::copy() const
{
    return std::shared_ptr<MRKOPill>(new MRKOBrushPill(*this));
}

bool MRKOBrushPill::isKindOfReceiverClass(const MRKOPill &other) const
{
    return dynamic_cast<const MRKOBrushPill *>(&other) != nullptr;
}

QString MRKOBrushPill::archiveClassName() const
{
    return QStringLiteral("MRKOBrushPill");
}
