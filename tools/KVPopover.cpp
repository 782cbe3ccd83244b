#include "tools/KVPopover.h"

#include "tools/KVColorOpacityView.h"
#include "tools/KVPopoverExtrasController.h"

#include <QCoreApplication>
#include <QCursor>
#include <QWidget>

namespace {

constexpr int kWidth = 246;        // points
constexpr int kPickerHeight = 246; // points
constexpr int kExtrasHeight = 48;  // points
constexpr int kOpacityHeight = 24; // points

KVPopover *s_shared = nullptr;

} // namespace

KVPopover &KVPopover::sharedPopover()
{
    if (!s_shared) {
        s_shared = new KVPopover; // released by the post routine below
        qAddPostRoutine([] {
            delete s_shared;
            s_shared = nullptr;
        });
    }
    return *s_shared;
}

KVPopover *KVPopover::existingPopover()
{
    return s_shared;
}

KVPopover::KVPopover() : m_extras(std::make_unique<KVPopoverExtrasController>())
{
    m_popover.setBehavior(platform::Popover::SemiTransient);
    m_popover.setTakesKeyboardFocus(true);
    m_popover.setClosesOnAnchorPress(false); // its clients toggle it from their own press

    auto container = std::make_unique<QWidget>();
    m_container = container.get();
    m_pickerView = new KPColorPickerView(m_container); // child
    m_pickerView->setGeometry(0, 0, kWidth, kPickerHeight);

    KVPopoverExtrasView *extrasView = m_extras->view();
    extrasView->setParent(m_container); // now a child of the container
    m_pickerView->setExtrasController(m_extras.get());
    m_extras->setColorPickerView(m_pickerView);
    m_extras->setColor(m_pickerView->color());

    m_opacityContainer = new QWidget(m_container); // child
    m_opacityContainer->resize(kWidth, kOpacityHeight);
    m_opacityView = new KVColorOpacityView(m_opacityContainer); // child
    // y-up frame (10, 8, 226, 16) in the 24-point container.
    m_opacityView->setGeometry(10, kOpacityHeight - 8 - 16, 226, 16);
    m_opacityView->setPickerView(m_pickerView);

    m_container->resize(kWidth, kPickerHeight + kExtrasHeight);
    m_popover.setContentWidget(container.release()); // owned by the popover's window
    layoutViewController();
    m_pickerView->setDelegate(this);
    connect(&m_popover, &platform::Popover::willClose, this, &KVPopover::colorPopoverWillClose);
    connect(&m_popover, &platform::Popover::didClose, this, [this] {
        if (m_delegate && m_popoverDidClose)
            m_popoverDidClose();
    });
}

KVPopover::~KVPopover()
{
    m_pickerView->setDelegate(nullptr);
    m_pickerView->setExtrasController(nullptr);
    m_popover.close();
}

inkora::SrgbColor KVPopover::color() const
{
    return m_pickerView->color();
}

void KVPopover::setColor(const inkora::SrgbColor &color)
{
    m_pickerView->setColorSource(KPColorSourceProgram);
    m_pickerView->setColor(color);
}

inkora::SrgbColor KVPopover::opacityColor() const
{
    return m_wantsOpacity ? m_pickerView->opacityColor() : m_pickerView->color();
}

double KVPopover::opacity() const
{
    return m_wantsOpacity ? m_pickerView->opacity() : 1.0;
}

void KVPopover::setOpacity(double opacity)
{
    if (!m_wantsOpacity)
        return;
    m_pickerView->setOpacity(opacity);
    m_pickerView->updateColorWithOpacity();
}

KPColorSource KVPopover::colorSource() const
{
    return m_pickerView->colorSource();
}

void KVPopover::setWantsOpacity(bool wants)
{
    m_wantsOpacity = wants;
    m_pickerView->setOpacityView(wants ? m_opacityView : nullptr);
}

bool KVPopover::sendActionOnMouseUp() const
{
    return m_pickerView->sendActionOnMouseUp();
}

void KVPopover::setSendActionOnMouseUp(bool on)
{
    m_pickerView->setSendActionOnMouseUp(on);
}

void KVPopover::setDelegate(QObject *delegate, std::function<void()> popoverDidClose)
{
    m_delegate = delegate;
    m_popoverDidClose = std::move(popoverDidClose);
}

bool KVPopover::isPicker() const
{
    return m_pickerView->isPickerActive();
}

void KVPopover::killPicker()
{
    m_pickerView->killPickerWithCleaning();
}

void KVPopover::movePicker()
{
    m_pickerView->movePixWindow();
}

void KVPopover::activateColorPicker()
{
    m_pickerView->pickFromScreenButtonAction();
}

void KVPopover::closePopover()
{
    close();
}

void KVPopover::didSelectColor()
{
    if (m_target && m_action)
        m_action(*this);
}

bool KVPopover::shouldPreventWindowOrdering() const
{
    const QWidget *window = m_popover.window();
    return window && window->isVisible() && window->geometry().contains(QCursor::pos());
}

void KVPopover::layoutViewController()
{
    m_layoutContainOpacity = m_wantsOpacity;
    const int height = kPickerHeight + kExtrasHeight + (m_wantsOpacity ? kOpacityHeight : 0);
    // Qt's coordinates: the wheel at the top, the fields at the bottom, the slider between them.
    m_pickerView->move(0, 0);
    m_opacityContainer->setVisible(m_wantsOpacity);
    if (m_wantsOpacity)
        m_opacityContainer->move(0, kPickerHeight);
    m_extras->view()->setGeometry(0, height - kExtrasHeight, kWidth, kExtrasHeight);
    m_container->resize(kWidth, height);
    m_popover.setContentSize(QSizeF(kWidth, height));
}

void KVPopover::showRelativeToRect(const QRectF &rect, QWidget *view, platform::RectEdge edge)
{
    m_pickerView->updateCloseButton();
    if (m_wantsOpacity != m_layoutContainOpacity)
        layoutViewController();
    m_opening = true;
    m_popover.showRelativeToRect(rect, view, edge);
    m_pickerView->setFocus(Qt::PopupFocusReason);
    m_opening = false;
}

bool KVPopover::isShown() const
{
    return m_popover.isShown();
}

void KVPopover::close()
{
    m_popover.close();
}

void KVPopover::colorPopoverWillClose()
{
    setWantsOpacity(false);
    setSendActionOnMouseUp(false);
}
