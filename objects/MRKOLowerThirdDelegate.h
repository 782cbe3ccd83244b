#pragma once

#include <QtGlobal>

class MRKOLowerThird;

/// Told when a lower third starts its animation and when its whole show has ended.
class MRKOLowerThirdDelegate
{
public:
    virtual ~MRKOLowerThirdDelegate() = default;
    virtual void lowerThirdAnimationWillStart(MRKOLowerThird *lowerThird) { Q_UNUSED(lowerThird) }
    virtual void lowerThirdAnimationDidFinished(MRKOLowerThird *lowerThird) { Q_UNUSED(lowerThird) }
};
