// Parses any bytes as a property list (binary, XML or plain text) and writes what it read back out.
#include "platform/PropertyList.h"

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("inkora.*.warning=false"));
        return true;
    }();
    (void)quiet;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const platform::PropertyList::Parsed parsed = platform::PropertyList::parse(bytes);
    if (parsed.value.isValid()) {
        const std::optional<QByteArray> binary = platform::PropertyList::toBinary(parsed.value);
        if (binary)
            (void)platform::PropertyList::parse(*binary);
    }
    return 0;
}
