#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "foundation/SrgbColor.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/Popover.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutPopover.h"
#include "shortcuts/KQShortCutTextField.h"
#include "shortcuts/KQTextField+Colours.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/KeyNames.h"
#include "shortcuts/MRKOShortcutTextFieldCell.h"
#include "shortcuts/ShortcutFieldImages.h"
#include "shortcuts/ShortcutOutline.h"
#include "shortcuts/ShortcutsNeighbours.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineF>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

void KQTextField::setDraggingHasStarted(bool started)
{
    m_draggingHasStarted = started;
    if (started) {
        if (!m_sourceLayer)
            m_sourceLayer =
                makeOutline(inkora::ShortcutOutline::sourceFrame(geometry()), kqtextfield::pressedBlue(), true);
        m_sourceLayer->fadeIn();
    } else if (m_sourceLayer) {
        m_sourceLayer->fadeOut(0);
        m_sourceLayer = nullptr;
    }
}

void KQTextField::startDrag(const QPoint &hotSpot)
{
    m_restoreButton->hide();
    m_enableButton->hide();
    m_dropdownButton->hide();
    QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    m_cursorPushed = true;

    auto *drag = new QDrag(this); // deleted by Qt when the drag ends
    auto data = std::make_unique<QMimeData>();
    data->setData(QLatin1String(kDragPasteboardType), QByteArray(16, '\0')); // a zero point: the source tells all
    drag->setMimeData(data.release());
    drag->setPixmap(grab());
    drag->setHotSpot(hotSpot);
    setDraggingHasStarted(true);
    QPointer<KQTextField> self(this);
    drag->exec(Qt::CopyAction);
    if (!self)
        return;
    setDraggingHasStarted(false);
    if (m_cursorPushed) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorPushed = false;
    }
    setColorDependingOnMousePosition();
    updateCursor(mapFromGlobal(QCursor::pos()));
}

bool KQTextField::draggingEntered(const QMimeData &data, QObject *source)
{
    if (!data.hasFormat(QLatin1String(kDragPasteboardType)))
        return false;
    if (source == this)
        return true;
    setHighlightedColor();
    if (!m_insertionLayer)
        m_insertionLayer =
            makeOutline(inkora::ShortcutOutline::insertionFrame(geometry()), OnOffColor::iconPressedColor(), false);
    m_insertionLayer->fadeIn();
    return true;
}

void KQTextField::draggingExited()
{
    if (m_insertionLayer) {
        m_insertionLayer->fadeOut(0);
        m_insertionLayer = nullptr;
    }
    setNormalColor();
    updateCursor(mapFromGlobal(QCursor::pos()));
}

bool KQTextField::performDragOperation(const QMimeData &data, QObject *source, const QPointF &position)
{
    if (!data.hasFormat(QLatin1String(kDragPasteboardType)))
        return false;
    if (source == this) {
        mouseUpINKRA(position, 0);
        return false;
    }
    // Only a field of exactly this kind can give its shortcut.
    auto *other = qobject_cast<KQTextField *>(source);
    if (!other || other->metaObject() != &KQTextField::staticMetaObject)
        return false;
    exchangeShortcutWithTextField(*other);
    return true;
}

void KQTextField::dragEnterEvent(QDragEnterEvent *event)
{
    if (draggingEntered(*event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void KQTextField::dragLeaveEvent(QDragLeaveEvent *event)
{
    draggingExited();
    event->accept();
}

void KQTextField::dropEvent(QDropEvent *event)
{
    const bool taken = performDragOperation(*event->mimeData(), event->source(), event->position());
    draggingExited();
    if (taken) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
