// Reads any bytes as the stored forms of settings: a shortcut string, an archived shortcut, a colour string and the
// hexadecimal colour texts, and text typed into the colour popover's fields.
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "shortcuts/KQShortCut.h"
#include "tools/KVPopoverExtrasController.h"

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
    const QString text = QString::fromUtf8(bytes);

    if (const auto shortCut = KQShortCut::shortcutObjectWithString(text))
        (void)KQShortCut::shortcutObjectWithString(shortCut->shortcutObjectStringValue());
    (void)ShortcutEncode::unarchivedShortCut(bytes);

    const inkora::SrgbColor color = OnOffColor::srgbColorWithString(text);
    (void)OnOffColor::srgbColorStringValue(color);
    (void)OnOffColor::hexadecimalString(OnOffColor::colorFromHexadecimalString(text));
    (void)OnOffColor::RGBHexString(OnOffColor::colorWithRGBHexString(Bezier::preProcessedHexString(text)));
    (void)Bezier::decodedFromBase64String(text);

    const inkora::SrgbColor typed = KVPopoverExtrasController::colorKeepingHue(
        KVPopoverExtrasController::colorWithHexEntry(text), KVPopoverExtrasController::colorComponentWithEntry(text));
    (void)OnOffColor::RGBHexString(typed);
    (void)OnOffColor::RGBRedIntegerString(typed);
    return 0;
}
