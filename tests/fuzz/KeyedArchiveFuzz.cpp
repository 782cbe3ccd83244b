// Decodes any bytes as a keyed archive, with a registered class that reads every kind of keyed value.
#include "platform/Archivable.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

namespace {

const QString kShapeClass = QStringLiteral("InkoraFuzzShape");

class FuzzShape final : public platform::Archivable
{
public:
    [[nodiscard]] QString archiveClassName() const override { return kShapeClass; }
    void encodeWithCoder(platform::KeyedArchiver &) const override {}

    static platform::ArchivablePtr decode(platform::KeyedUnarchiver &coder)
    {
        (void)coder.decodeInt(QStringLiteral("count"));
        (void)coder.decodeDouble(QStringLiteral("ratio"));
        (void)coder.decodeBool(QStringLiteral("visible"));
        (void)coder.decodeString(QStringLiteral("name"));
        (void)coder.decodeData(QStringLiteral("bytes"));
        (void)coder.decodeRect(QStringLiteral("frame"));
        (void)coder.decodePoint(QStringLiteral("anchor"));
        (void)coder.decodeSize(QStringLiteral("corner"));
        (void)coder.decodeObjectOfClass<FuzzShape>(kShapeClass, QStringLiteral("child"));
        (void)coder.decodeArrayOfObjectsOfClasses({kShapeClass}, QStringLiteral("shapes"));
        (void)coder.decodeDictionaryWithObjectsOfClasses(platform::KeyedUnarchiver::propertyListClasses(),
                                                         QStringLiteral("info"));
        return std::make_shared<FuzzShape>();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool ready = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("inkora.*.warning=false"));
        return platform::ArchiveClasses::registerClass(kShapeClass, QString(), &FuzzShape::decode);
    }();
    (void)ready;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList classes = platform::KeyedUnarchiver::propertyListClasses();
    classes << kShapeClass;
    const QVariant root = platform::KeyedUnarchiver::unarchivedObjectOfClasses(classes, bytes);
    if (root.isValid())
        (void)platform::KeyedArchiver::archivedData(root);
    return 0;
}
