#include "canvas/MRKOHolder.h"

#include "canvas/MRKODraw.h"
#include "platform/Dispatch.h"

MRKOHolder &MRKOHolder::sharedHolder()
{
    // The queues must outlive the holder: the layer it keeps may post to them as it goes at exit.
    (void)platform::DispatchQueue::main();
    (void)platform::RunLoop::main();
    static MRKOHolder holder;
    return holder;
}

MRKODraw *MRKOHolder::draw() const
{
    return m_draw.data();
}

void MRKOHolder::setDraw(MRKODraw *draw)
{
    m_draw = draw;
    if (!draw)
        return;
    m_index = draw->index();
    m_viewRect = draw->bounds();
}

bool MRKOHolder::setDrawIfMatched(MRKODraw *draw)
{
    if (!m_layer || !draw || draw->index() != m_index || draw->bounds() != m_viewRect)
        return false;
    setDraw(draw);
    return true;
}

void MRKOHolder::cleanUp()
{
    m_layer.reset();
    m_draw.clear();
    m_index = 0;
    m_viewRect = QRectF();
}
