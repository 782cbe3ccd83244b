#include "platform/fake/FakeStatusItem.h"

#include <QMenu>

namespace platform {

void FakeStatusItem::popUpMenu(QMenu *menu)
{
    m_menu = menu;
    ++m_menusPoppedUp;
    // Shown without running a pop-up loop, so tests go on at once.
    if (menu)
        emit menu->aboutToShow();
}

void FakeStatusItem::press()
{
    if (m_pressHandler)
        m_pressHandler();
}

void FakeStatusItem::closeMenu()
{
    if (m_menu)
        emit m_menu->aboutToHide();
}

} // namespace platform
