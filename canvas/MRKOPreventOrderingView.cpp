#include "canvas/MRKOPreventOrderingView.h"

MRKOPreventOrderingView::MRKOPreventOrderingView(QWidget *parent) : QWidget(parent)
{
    // A click must not raise or activate the window it lies in.
    if (QWidget *top = window(); top && top != this)
        top->setAttribute(Qt::WA_ShowWithoutActivating);
}
