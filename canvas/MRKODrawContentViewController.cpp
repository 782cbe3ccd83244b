#include "canvas/MRKODrawContentViewController.h"

#include "canvas/MRKODraw.h"
#include "canvas/MRKODrawViewController.h"

#include <QWidget>

MRKODrawContentViewController::MRKODrawContentViewController(QWidget *view) : QObject(view), m_view(view) {}

MRKODrawContentViewController *MRKODrawContentViewController::install(QWidget &window, MRKODraw &canvas)
{
    auto *controller = new MRKODrawContentViewController(&window); // child of the window
    controller->setDrawView(&canvas);
    return controller;
}

void MRKODrawContentViewController::setDrawView(MRKODraw *drawView)
{
    if (!drawView)
        return;
    m_drawViewController = new MRKODrawViewController(drawView); // child of the canvas
}

MRKODrawViewController *MRKODrawContentViewController::drawViewController() const
{
    return m_drawViewController;
}

MRKODraw *MRKODrawContentViewController::drawView() const
{
    return m_drawViewController ? m_drawViewController->drawView() : nullptr;
}
