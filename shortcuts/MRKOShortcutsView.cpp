#include "shortcuts/MRKOShortcutsView.h"

#include "shortcuts/KQTextField.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

MRKOShortcutsView::MRKOShortcutsView(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

bool MRKOShortcutsView::prepareForDragOperation(const QMimeData &data)
{
    return data.hasFormat(QLatin1String(KQTextField::kDragPasteboardType));
}

void MRKOShortcutsView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!prepareForDragOperation(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(draggingEntered());
    event->accept();
}

void MRKOShortcutsView::dropEvent(QDropEvent *event)
{
    if (prepareForDragOperation(*event->mimeData()) && performDragOperation())
        event->accept();
    else
        event->ignore();
}
