#include "canvas/MRKODraw.h"
#include "objects/MRKOLowerThird.h"
#include "platform/Dispatch.h"

void MRKODraw::showLowerThird()
{
    if (!m_lowerThird) {
        m_lowerThird = MRKOLowerThird::lowerThirdWithDrawView(this);
        m_lowerThird->setDelegate(this);
    }
    m_lowerThird->animateIfNeeded();
}

void MRKODraw::lowerThirdAnimationDidFinished(MRKOLowerThird *)
{
    if (!m_lowerThird)
        return;
    m_lowerThird->cleanUp();
    // The lower third may be the caller: it goes once the call has returned.
    std::shared_ptr<MRKOLowerThird> dropped(std::move(m_lowerThird));
    platform::DispatchQueue::main().async([dropped] {});
}
