#include "foundation/NSMenu+TopTitleItem.h"
#include "platform/ImageLoader.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QPixmap>

#include <algorithm>

namespace TopTitleItem {

QAction *addTopItemWithTitle(QMenu &menu, const QString &title)
{
    QAction *item = menu.addAction(title);
    QFont font = menu.font();
    font.setBold(true);
    font.setPointSizeF(12);
    item->setFont(font);
    item->setData(-1);
    item->setEnabled(false); // a title: nothing to choose
    return item;
}

QIcon offStateImage(const QString &name)
{
    const QImage image = platform::ImageLoader::namedImage(name);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

bool hasOnStateItems(const QMenu &menu)
{
    const QList<QAction *> items = menu.actions();
    return std::any_of(items.begin(), items.end(), [](const QAction *item) { return item->isChecked(); });
}

} // namespace TopTitleItem
