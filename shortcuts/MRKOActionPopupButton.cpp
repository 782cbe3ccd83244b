#include "shortcuts/MRKOActionPopupButton.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "shortcuts/MRKOActionSourcePopupButton.h"
#include "shortcuts/MRKOSingleKeyActionController.h"

#include <QMouseEvent>
#include <QSignalBlocker>

MRKOActionPopupButton::MRKOActionPopupButton(qint64 slot, MRKOActionSourcePopupButton *menuSourceButton,
                                             QWidget *parent)
    : QComboBox(parent), m_menuSourceButton(menuSourceButton), m_tag(slot)
{
    m_extraAction = MRKOSingleKeyActionController::actionForSlot(quint64(slot));
    updateButtonMenu();
    connect(this, &QComboBox::activated, this, &MRKOActionPopupButton::segmentHasSeleted);
}

void MRKOActionPopupButton::setExtraAction(quint64 action)
{
    m_extraAction = action;
    MRKOSingleKeyActionController::sharedActionController().setExtraActionForSingleKeyActionSlot(action,
                                                                                                 quint64(m_tag));
}

void MRKOActionPopupButton::updateButtonMenu()
{
    updateMenuFromSource();
    updateSelection();
}

void MRKOActionPopupButton::updateMenuFromSource()
{
    const QSignalBlocker blocker(this);
    clear();
    if (!m_menuSourceButton)
        return;
    for (int i = 0; i < m_menuSourceButton->count(); ++i) {
        const QVariant tag = m_menuSourceButton->itemData(i);
        if (!tag.isValid())
            insertSeparator(count());
        else
            addItem(m_menuSourceButton->itemIcon(i), m_menuSourceButton->itemText(i), tag);
    }
}

void MRKOActionPopupButton::updateSelection()
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(findData(m_extraAction));
}

void MRKOActionPopupButton::segmentHasSeleted()
{
    const QVariant tag = currentData();
    if (!tag.isValid())
        return;
    setExtraAction(tag.toULongLong());
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(m_extraAction), savingKey());
    defaults.synchronize();
}

void MRKOActionPopupButton::resetDefaults()
{
    setExtraAction(defaultAction());
    updateSelection();
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.removeObjectForKey(savingKey());
    defaults.synchronize();
}

void MRKOActionPopupButton::setSkipAction()
{
    setExtraAction(0);
    updateSelection();
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(0, savingKey());
    defaults.synchronize();
}

QString MRKOActionPopupButton::savingKey() const
{
    return MRKOSingleKeyActionController::keyStringWithSlot(quint64(m_tag));
}

quint64 MRKOActionPopupButton::defaultAction() const
{
    return MRKOSingleKeyActionController::defaultActionWithSlot(quint64(m_tag));
}

void MRKOActionPopupButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::AltModifier)) {
        resetDefaults();
        event->accept();
        return;
    }
    QComboBox::mousePressEvent(event);
}
