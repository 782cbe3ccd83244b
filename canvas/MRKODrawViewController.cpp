#include "canvas/MRKODrawViewController.h"

#include "canvas/MRKODraw.h"

#include <QEvent>

MRKODrawViewController::MRKODrawViewController(MRKODraw *view) : QObject(view), m_view(view)
{
    view->installEventFilter(this);
}

MRKODraw *MRKODrawViewController::drawView() const
{
    return m_view;
}

void MRKODrawViewController::viewDidAppear()
{
    if (m_view)
        m_view->drawViewDidAppear();
}

bool MRKODrawViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Show)
        viewDidAppear();
    return false;
}
