#pragma once

#include "objects/MRKOPill.h"

/// The model kind of a brush stroke (tool type 0): only the shared fields, no geometry of its own and no handles.
class MRKOBrushPill : public MRKOPill
{
public:
    MRKOBrushPill();

    [[nodiscard]] bool wantsHandles() const override { return false; }
    [[nodiscard]] std::shared_ptr<MRKOPill> copy() const override;
    [[nodiscard]] QString archiveClassName() const override;

protected:
    [[nodiscard]] bool isKindOfReceiverClass(const MRKOPill &other) const override;
};
