#pragma once

#include "objects/MRKOPill.h"

/// The model of a text object (tool type 3). For now it holds only the shared fields; its text, background and
/// insets come with the text editor.
class MRKOTextPill : public MRKOPill
{
public:
    MRKOTextPill();

    [[nodiscard]] std::shared_ptr<MRKOPill> copy() const override;
    [[nodiscard]] QString archiveClassName() const override;
    /// Decodes as a text object whatever tool type the archive holds.
    void initWithCoder(platform::KeyedUnarchiver &coder) override;

protected:
    [[nodiscard]] bool isKindOfReceiverClass(const MRKOPill &other) const override;
};
