#include "tools/MRKOToolChoseButton.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "foundation/ToolTables.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "tools/ButtonImage.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QIcon>
#include <QLineF>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

namespace {

constexpr double kLongPress = 0.25;    // seconds a press is held before the menu opens
constexpr double kDragDistance = 10.0; // points the pointer may move before a press counts as a drag
constexpr int kMenuIconSize = 24;      // points

} // namespace

MRKOToolChoseButton::MRKOToolChoseButton(const QString &identifier, qint64 interfaceTag, QWidget *parent)
    : MRKOToolButton(identifier, parent)
{
    const QList<quint64> group = MRKOUtils::relatedTypesForToolType(quint64(interfaceTag));
    setTag(savedTool(identifier, group).value_or(interfaceTag));
    m_toolTypes = MRKOUtils::relatedTypesForToolType(quint64(tag()));
}

std::optional<qint64> MRKOToolChoseButton::savedTool(const QString &identifier, const QList<quint64> &group)
{
    const QVariant stored = MRKOUtils::userDefaults().objectForKey(identifier);
    bool ok = false;
    qint64 type = -1;
    switch (stored.typeId()) {
    case QMetaType::QString:
        type = stored.toString().trimmed().toLongLong(&ok);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        type = stored.toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || type < 0 || !group.contains(quint64(type)))
        return std::nullopt;
    return type;
}

void MRKOToolChoseButton::setTag(qint64 tag)
{
    MRKOToolButton::setTag(tag);
    setImageName(inkora::ToolTables::imageNameForToolType(quint64(tag)));
    setDescIdentifier(MRKOUtils::stringForToolType(quint64(tag)));
    updateDescPopoverContent();
}

void MRKOToolChoseButton::saveTool()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setObject(QString::number(tag()), objectName());
    defaults.synchronize();
}

void MRKOToolChoseButton::popUpMenu()
{
    auto menu = std::make_unique<QMenu>(QString(), this);
    for (quint64 type : m_toolTypes) {
        QAction *item = menu->addAction(MRKOUtils::stringForToolType(type));
        item->setData(qint64(type));
        const QImage icon = inkora::buttonImage(inkora::ToolTables::imageNameForToolType(type), devicePixelRatioF());
        if (!icon.isNull()) {
            QPixmap pixmap = QPixmap::fromImage(icon.scaled(QSize(kMenuIconSize, kMenuIconSize) * devicePixelRatioF(),
                                                            Qt::KeepAspectRatio, Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(devicePixelRatioF());
            item->setIcon(QIcon(pixmap));
        }
        item->setCheckable(true);
        item->setChecked(qint64(type) == tag());
        connect(item, &QAction::triggered, this, [this, item] { menuItemSelected(item); });
    }
    popUpMenuAtButton(std::move(menu));
}

void MRKOToolChoseButton::menuItemSelected(QAction *item)
{
    setTag(item->data().toLongLong());
    saveTool();
    sendAction();
}

void MRKOToolChoseButton::drawRect(QPainter &painter, const QRectF &rect)
{
    MRKOToolButton::drawRect(painter, rect);
    if (isMouseIn::isMouseIn(*this))
        ImageNamedWithColor::drawAlternateInRect(
            painter, inkora::buttonImage(QStringLiteral("MRKOPopUpTriangle"), devicePixelRatioF()), rect,
            OnOffColor::iconOnColor());
}

void MRKOToolChoseButton::mouseDown(QMouseEvent *event)
{
    // Unlike other buttons the press keeps a description already due from the pointer's entry.
    m_mouseDownLocation = event->globalPosition();
    m_mouseIsDown = true;
    m_menuWasShownForLastMouseDown = false;
    const qint32 press = ++m_mouseDownUniquenessCounter;
    highlight(true);
    QPointer<MRKOToolChoseButton> weakSelf(this);
    platform::DispatchQueue::main().after(kLongPress, [weakSelf, press] {
        if (!weakSelf || weakSelf->m_mouseIsDragged || !weakSelf->m_mouseIsDown ||
            weakSelf->m_mouseDownUniquenessCounter != press)
            return;
        weakSelf->m_menuWasShownForLastMouseDown = true;
        weakSelf->popUpMenu();
    });
}

void MRKOToolChoseButton::mouseDragged(QMouseEvent *event)
{
    if (QLineF(event->globalPosition(), m_mouseDownLocation).length() > kDragDistance)
        m_mouseIsDragged = true;
}

void MRKOToolChoseButton::mouseUp(QMouseEvent *event)
{
    m_mouseIsDown = false;
    m_mouseIsDragged = false;
    if (m_menuWasShownForLastMouseDown) {
        highlight(false);
        return;
    }
    if (isInside(event, *this)) {
        const AppDelegate *delegate = AppDelegate::shared();
        const bool auxAction = delegate && delegate->hasAuxActions();
        if (state() == 1 && !auxAction && !m_toolTypes.isEmpty()) {
            const qsizetype index = m_toolTypes.indexOf(quint64(tag()));
            setTag(qint64(m_toolTypes[(index + 1) % m_toolTypes.size()]));
            saveTool();
        }
        sendAction();
    }
    highlight(false);
}

void MRKOToolChoseButton::menuDidClose()
{
    // The menu took the release, so the press ends here.
    m_mouseIsDown = false;
    m_mouseIsDragged = false;
    MRKOToolButton::menuDidClose();
}
