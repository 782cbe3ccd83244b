// The whiteboard's layout menu, opened from the options control a whiteboard shows.
#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOAppLevel.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/NSMenu+TopTitleItem.h"

#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <array>

namespace {

const QPointF kWhiteboardMenuPoint(-2, -4); // in the placeholder, under the control

struct LayoutItem
{
    const char *title;
    const char *image;
};

// By tag: the layout value.
const std::array<LayoutItem, 9> kLayouts = {{
    {"Fullscreen", "MRKOWBLayoutFullSize"},
    {"Left Half", "MRKOWBLayoutLeftHalf"},
    {"Right Half", "MRKOWBLayoutRightHalf"},
    {"Top Half", "MRKOWBLayoutTopHalf"},
    {"Bottom Half", "MRKOWBLayoutBottomHalf"},
    {"Top Left Corner", "MRKOWBLayoutTopLeftCorner"},
    {"Top Right Corner", "MRKOWBLayoutTopRightCorner"},
    {"Bottom Left Corner", "MRKOWBLayoutBottomLeft"},
    {"Bottom Right Corner", "MRKOWBLayoutBottomRight"},
}};

// By tag: the colour type.
const std::array<const char *, 4> kColors = {"White", "Dark Gray", "Black", "Custom"};

} // namespace

void AppDelegate::showWhiteboardLayoutMenuForView(MRKODraw *view, const QRectF &frame)
{
    if (!view)
        return;
    m_externalAppMenu = false;
    auto menu = std::make_unique<QMenu>();
    menu->setTitle(QStringLiteral("Menu"));
    QPointer<MRKODraw> canvas(view);

    QAction *title = TopTitleItem::addTopItemWithTitle(*menu, QStringLiteral("Whiteboard Layout"));
    title->setIcon(TopTitleItem::offStateImage(QStringLiteral("MRKOWhiteboardIcon")));
    for (int tag = 0; tag < int(kLayouts.size()); ++tag) {
        const LayoutItem &layout = kLayouts[size_t(tag)];
        QAction *item = menu->addAction(QLatin1String(layout.title));
        item->setData(tag);
        item->setIcon(TopTitleItem::offStateImage(QLatin1String(layout.image)));
        item->setCheckable(true);
        item->setChecked(view->whiteboardLayout() == tag);
        connect(item, &QAction::triggered, this, [canvas, tag] {
            if (canvas)
                canvas->whiteBoardLayoutSelected(tag);
        });
    }

    const QList<MRKOWindowController *> controllers = windowControllersArray();
    if (controllers.size() >= 2) {
        menu->addSeparator();
        QAction *screen = TopTitleItem::addTopItemWithTitle(*menu, QStringLiteral("This Screen"));
        screen->setIcon(TopTitleItem::offStateImage(QStringLiteral("MRKOScreenIcon")));
        QAction *hide = menu->addAction(QStringLiteral("Hide Whiteboard for This Screen"));
        connect(hide, &QAction::triggered, this, [canvas] {
            if (canvas)
                canvas->hideWhiteBoardSelected();
        });
        const MRKOWindowController *owner = windowControllerForView(view);
        const qint64 index = owner && owner->drawView() ? owner->drawView()->index() : view->index();
        QAction *disable = menu->addAction(QStringLiteral("Disable Drawing on This Screen"));
        disable->setData(index);
        connect(disable, &QAction::triggered, this, [this, index] { useScreenToDraw(index); });
        menu->addSeparator();
        const bool anyDisabled = std::any_of(controllers.begin(), controllers.end(),
                                             [](const MRKOWindowController *c) { return c->screenDisabled(); });
        const bool anyHidden = std::any_of(controllers.begin(), controllers.end(), [](const MRKOWindowController *c) {
            return c->drawView() && c->drawView()->whiteboardIsHidden();
        });
        if (anyDisabled) {
            QAction *all = menu->addAction(QStringLiteral("Allow Drawing on All Screens"));
            connect(all, &QAction::triggered, this, [this] { enableDrawingOnAllScreens(); });
        } else if (anyHidden) {
            QAction *all = menu->addAction(QStringLiteral("Show All Whiteboards"));
            connect(all, &QAction::triggered, this, [canvas] {
                if (canvas)
                    canvas->showAllWhiteBoards();
            });
        }
    }

    auto *colors = new QMenu(QStringLiteral("Color"), menu.get());
    const qint64 colorType = inkora::liveSettings().whiteBoardColorType;
    for (int tag = 0; tag < int(kColors.size()); ++tag) {
        QAction *item = colors->addAction(QLatin1String(kColors[size_t(tag)]));
        item->setData(tag);
        item->setCheckable(true);
        item->setChecked(colorType == tag); // a type outside 0...3 checks nothing
        connect(item, &QAction::triggered, this, [canvas, tag] {
            if (canvas)
                canvas->whiteBoardColorSelected(tag);
        });
    }
    menu->addSeparator();
    QAction *colorItem = menu->addMenu(colors);
    colorItem->setText(QStringLiteral("Whiteboards Color"));

    popUpMenuUnderPlaceholder(std::move(menu), view, frame, kWhiteboardMenuPoint, MRKOAppLevel::appLevel().level() + 1,
                              false);
}
