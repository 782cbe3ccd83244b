#include "snapshots/MRKOSnapshotItemView.h"

#include "app/AppDelegate.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Dispatch.h"
#include "platform/ImageLoader.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotNameField.h"
#include "snapshots/SnapshotItemMenus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPointer>

namespace {

constexpr QRectF kThumbnailRect(9, 8, 152, 110); // Qt coordinates inside the 170 x 150 item
constexpr QRect kNameRect(5, 122, 160, 22);
constexpr QRectF kBadgeRect(4, 4, 29, 30);
constexpr double kSpinnerInterval = 1.0 / 12; // seconds
const QColor kTrashHighlight = QColor::fromRgbF(0.92f, 0.78f, 0.2f, 1);

} // namespace

MRKOSnapshotItemView::MRKOSnapshotItemView(MRKOSnapshotItem &item, QWidget *parent) : QWidget(parent), m_item(item)
{
    resize(170, 150);
    m_nameField = new MRKOSnapshotNameField(this); // child
    m_nameField->setGeometry(kNameRect);
    connect(m_nameField, &MRKOSnapshotNameField::nameFieldChanged, this, &MRKOSnapshotItemView::undoSnapshotName);
    startProgressIndicator();
}

MRKOSnapshotItemView::~MRKOSnapshotItemView()
{
    if (m_spinnerTimer != 0)
        platform::RunLoop::main().cancel(m_spinnerTimer);
}

void MRKOSnapshotItemView::setName(const QString &name)
{
    m_name = name;
    m_nameField->setShownName(name);
}

void MRKOSnapshotItemView::setTrashItem(bool trash)
{
    m_trash = trash;
    // Names in the bin cannot be edited.
    m_nameField->setEnabled(!trash);
}

void MRKOSnapshotItemView::setImage(const QImage &image)
{
    m_image = image;
    m_badge = m_trash && !image.isNull();
    update();
    if (image.isNull())
        return;
    const QPointer<MRKOSnapshotItemView> self(this);
    platform::DispatchQueue::main().after(kSpinnerStopDelay, [self] {
        if (self && !self->m_image.isNull())
            self->stopProgressIndicator();
    });
}

void MRKOSnapshotItemView::startProgressIndicator()
{
    m_spinning = true;
    if (m_spinnerTimer == 0) {
        m_spinnerTimer = platform::RunLoop::main().schedule(
            kSpinnerInterval,
            [this] {
                m_spinnerStep = (m_spinnerStep + 1) % 12;
                update(kThumbnailRect.toAlignedRect());
            },
            platform::RunLoop::CommonModes, kSpinnerInterval);
    }
}

void MRKOSnapshotItemView::stopProgressIndicator()
{
    m_spinning = false;
    if (m_spinnerTimer != 0) {
        platform::RunLoop::main().cancel(m_spinnerTimer);
        m_spinnerTimer = 0;
    }
    update();
}

void MRKOSnapshotItemView::setHighlight(bool highlight)
{
    if (m_highlight == highlight)
        return;
    m_highlight = highlight;
    update();
}

void MRKOSnapshotItemView::undoSnapshotName(const QString &text)
{
    const std::shared_ptr<MRKOSnapshotInfoProtocol> &record = m_item.representedObject();
    if (!record)
        return;
    if (text.isEmpty()) {
        m_nameField->setShownName(record->name());
        return;
    }
    if (text == m_name)
        return;
    MRKOSnapshotManager::sharedSnapshotManager().renameSnapshot(record, text);
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshotItemView::snapshot() const
{
    return m_item.snapshot();
}

void MRKOSnapshotItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_image.isNull()) {
        // Drawn at its own point size, centred in the thumbnail area.
        const QSizeF size = QSizeF(m_image.size()) / m_image.devicePixelRatio();
        const QSizeF fitted = size.scaled(kThumbnailRect.size(), Qt::KeepAspectRatio);
        const QSizeF shown = size.width() <= fitted.width() && size.height() <= fitted.height() ? size : fitted;
        const QRectF target(kThumbnailRect.center().x() - shown.width() / 2,
                            kThumbnailRect.center().y() - shown.height() / 2, shown.width(), shown.height());
        painter.drawImage(target, m_image);
    } else if (m_spinning) {
        const QPointF centre = kThumbnailRect.center();
        for (int i = 0; i < 12; ++i) {
            const int age = (m_spinnerStep - i + 12) % 12;
            QColor color(230, 230, 230);
            color.setAlphaF(float(1.0 - age / 12.0));
            painter.save();
            painter.translate(centre);
            painter.rotate(i * 30.0);
            painter.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -5), QPointF(0, -9));
            painter.restore();
        }
    }
    if (m_badge) {
        painter.setOpacity(0.5);
        painter.drawImage(kBadgeRect, platform::ImageLoader::namedImage(QStringLiteral("MRKORemovedSnapshot"), 2));
        painter.setOpacity(1);
    }
    if (!m_highlight)
        return;
    const QColor first = m_trash ? kTrashHighlight : OnOffColor::iconOnColor();
    const QColor second = m_trash ? kTrashHighlight : OnOffColor::iconPressedColor();
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    QPainterPathStroker stroker;
    stroker.setWidth(2);
    stroker.setDashPattern({10.0 / 2, 2.0 / 2});
    const QPainterPath clip = stroker.createStroke(outline);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0, first);
    gradient.setColorAt(1, second);
    painter.fillPath(clip, gradient);
}

void MRKOSnapshotItemView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_dragged = false;
    m_pressPoint = event->position().toPoint();
    m_item.collectionView().itemPressed(m_item, event->modifiers());
}

void MRKOSnapshotItemView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || m_dragged)
        return;
    if ((event->position().toPoint() - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragged = true;
    m_pressed = false;
    m_item.collectionView().startDragFromItem(m_item);
}

void MRKOSnapshotItemView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    m_item.collectionView().itemReleased(m_item, event->modifiers(), m_dragged);
}

void MRKOSnapshotItemView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    AppDelegate *app = AppDelegate::shared();
    if (app && m_item.representedObject())
        app->applySnapshot(snapshot());
}

void MRKOSnapshotItemView::contextMenuEvent(QContextMenuEvent *event)
{
    inkora::SnapshotItemMenus menus(m_item);
    std::unique_ptr<QMenu> menu = menus.menuForEvent();
    if (menu)
        menu->exec(event->globalPos());
    if (AppDelegate *app = AppDelegate::shared())
        app->handleFlagsChangedWithCurrentEvent();
}
