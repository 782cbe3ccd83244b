#pragma once

#include "foundation/SrgbColor.h"
#include "shortcuts/KQShortCut.h"

#include <QColor>

#include <memory>

// What the recorder field's sources share: its fixed colours and whether a shortcut has a key.
namespace kqtextfield {

inline QColor warningOrange()
{
    return inkora::SrgbColor(0.95, 0.68, 0.2, 1).toQColor();
}

inline QColor pressedBlue()
{
    return inkora::SrgbColor(0.0, 0.5686, 1.0, 1.0).toQColor();
}

inline bool hasKey(const std::shared_ptr<KQShortCut> &shortCut)
{
    return shortCut && !shortCut->isNotAssigned();
}

} // namespace kqtextfield
