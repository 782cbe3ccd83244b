#include "canvas/MRKOGrid.h"

std::shared_ptr<MRKOGrid> MRKOGrid::gridWihSize(QSizeF size, qint64 type, qint64 alignment,
                                                const inkora::SrgbColor &stripeColor)
{
    auto grid = std::make_shared<MRKOGrid>();
    grid->setGridSize(size);
    grid->setType(type);
    grid->setAlignment(alignment);
    grid->setStripeColor(stripeColor);
    return grid;
}
