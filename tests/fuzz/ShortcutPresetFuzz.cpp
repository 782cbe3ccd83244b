// Reads any bytes as a shortcut preset file and checks the whole preset as the Shortcuts pane does before it
// applies one.
#include "shortcuts/ShortcutPreset.h"

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("inkora.*.warning=false\ninkora.*.info=false"));
        return true;
    }();
    (void)quiet;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString refusal;
    (void)inkora::checkedShortcutPreset(inkora::shortcutPresetFromData(bytes), &refusal);
    return 0;
}
