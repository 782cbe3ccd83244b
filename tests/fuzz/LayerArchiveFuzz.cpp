// Reads any bytes as a layer archive, then uses what was read: copies, compares, hit-tests, rebuilds the model's
// geometry and archives the layer again.
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOPill.h"

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("inkora.*.warning=false\nqt.*=false"));
        return true;
    }();
    (void)quiet;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const platform::LayerPtr layer = OpaqueContent::layerWithData(bytes);
    if (!layer)
        return 0;
    const platform::LayerPtr copy = OpaqueContent::layerCopyWithPill(*layer);
    (void)OpaqueContent::isEqual(*layer, *copy);
    (void)OpaqueContent::isContentHasOpaquePixelAtPoint(*layer, {1, 1});
    if (const auto model = OpaqueContent::pill(*copy)) {
        (void)model->createPaths();
        model->moveOriginWithDelta({1, 1});
    }
    (void)OpaqueContent::layerDataToSave(*layer);
    return 0;
}
