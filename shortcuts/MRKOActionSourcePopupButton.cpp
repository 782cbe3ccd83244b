#include "shortcuts/MRKOActionSourcePopupButton.h"

#include "foundation/MRKOUtils.h"
#include "shortcuts/MRKOSingleKeyActionController.h"
#include "shortcuts/ShortcutsNeighbours.h"

#include <QIcon>
#include <QPixmap>

#include <array>

namespace {

struct Item
{
    quint64 action; // kSeparator stands for a separator
    const char *title;
};

constexpr quint64 kSeparator = quint64(-1);
constexpr quint64 kBlackAndWhite = 47;
constexpr quint64 kFirstToolSlot = 11;
constexpr quint64 kLastToolSlot = 17;

// Grouped as the overlay's commands are: tools, colours, drawing, canvas, views.
constexpr std::array<Item, 55> kItems = {{
    {0, "No Action"},
    {kSeparator, ""},
    {37, "Brush Tool"},
    {38, "Quick Arrow Tool"},
    {39, "Arrow Tool"},
    {40, "Line Tool"},
    {41, "Rectangle Tool"},
    {42, "Ellipse Tool"},
    {43, "Text Tool"},
    {2, "Next Tool"},
    {3, "Recent Tool"},
    {kSeparator, ""},
    {27, "Color 1"},
    {28, "Color 2"},
    {29, "Color 3"},
    {30, "Color 4"},
    {31, "Color 5"},
    {32, "Color 6"},
    {33, "Color 7"},
    {34, "Color 8"},
    {35, "Color 9"},
    {36, "Color 10"},
    {47, "Black and White"},
    {7, "Switch Color Mode"},
    {44, "Color Picker"},
    {46, "Color Wheel"},
    {kSeparator, ""},
    {4, "Next Thickness"},
    {45, "Previous Thickness"},
    {18, "Semi-Transparent Drawing"},
    {15, "Repeat Last Drawing"},
    {16, "Undo"},
    {17, "Redo"},
    {25, "Selection"},
    {48, "Group"},
    {23, "Text Typing"},
    {24, "Emoji & Symbols"},
    {22, "Pointing Dot"},
    {kSeparator, ""},
    {5, "Clear Screen"},
    {26, "Clear Screen Except Selection"},
    {6, "Freeze Mode"},
    {11, "Flashlight"},
    {12, "Magnifier"},
    {14, "Whiteboard"},
    {13, "Ghost Mode"},
    {49, "Lower Third"},
    {kSeparator, ""},
    {8, "Take Snapshot"},
    {9, "Snapshots"},
    {10, "Copy Screen"},
    {19, "Menu"},
    {20, "Tools Circle Menu"},
    {21, "Colors Circle Menu"},
    {1, "Hide Inkora"},
}};

} // namespace

MRKOActionSourcePopupButton::MRKOActionSourcePopupButton(QWidget *parent) : QComboBox(parent)
{
    for (const Item &item : kItems) {
        if (item.action == kSeparator)
            insertSeparator(count());
        else
            addItem(QLatin1String(item.title), item.action);
    }
    updateMenuImages();
}

int MRKOActionSourcePopupButton::indexOfTag(quint64 action) const
{
    return findData(action);
}

void MRKOActionSourcePopupButton::updateMenuImages()
{
    updateMenuImagesSwatches();
    if (const int index = indexOfTag(kBlackAndWhite); index >= 0)
        setItemIcon(index, QIcon(QPixmap::fromImage(inkora::smallSwatchBlackWhite())));
    updateMenuImagesTools();
}

void MRKOActionSourcePopupButton::updateMenuImagesTools()
{
    for (quint64 slot = kFirstToolSlot; slot <= kLastToolSlot; ++slot) {
        const quint64 action = MRKOSingleKeyActionController::defaultActionWithSlot(slot);
        const QImage icon = MRKOUtils::smallImageForToolType(quint64(MRKOUtils::toolTypeForExtraAction(action)));
        if (const int index = indexOfTag(action); index >= 0 && !icon.isNull())
            setItemIcon(index, QIcon(QPixmap::fromImage(icon)));
    }
}

void MRKOActionSourcePopupButton::updateMenuImagesSwatches()
{
    const QList<QImage> swatches = inkora::allSwatchesSmall();
    for (qsizetype slot = 0; slot < swatches.size(); ++slot) {
        const quint64 action = MRKOSingleKeyActionController::defaultActionWithSlot(quint64(slot));
        if (const int index = indexOfTag(action); index >= 0)
            setItemIcon(index, QIcon(QPixmap::fromImage(swatches.at(slot))));
    }
}
