#include "canvas/MultipleMove.h"

#include "canvas/MRKODraw.h"
#include "platform/Transaction.h"

namespace inkora {

void MultipleMove::reset()
{
    if (boundingBox) {
        platform::TransactionScope transaction(true);
        boundingBox->removeFromSuperlayer();
    }
    *this = MultipleMove();
}

MultipleMove &multipleMove()
{
    static MultipleMove state;
    return state;
}

} // namespace inkora
