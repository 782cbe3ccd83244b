#include "settings/MRKOPrefButton.h"

#include "app/AppDelegate.h"
#include "platform/Dispatch.h"
#include "platform/Popover.h"
#include "settings/MRKOPreferencesViewController.h"

#include <QLabel>

MRKOPrefButton::MRKOPrefButton(const QString &selector, QWidget *parent) : QToolButton(parent), m_selector(selector)
{
    setText(QStringLiteral("?"));
    setObjectName(QStringLiteral("help:") + selector);
    setAccessibleName(QStringLiteral("Help"));
    setFocusPolicy(Qt::NoFocus);
}

MRKOPrefButton::~MRKOPrefButton()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

std::unique_ptr<QWidget> MRKOPrefButton::toolTipViewControllerWithString(const QString &text)
{
    auto view = std::make_unique<QWidget>();
    auto *field = new QLabel(text, view.get());
    field->setObjectName(QStringLiteral("descriptionField"));
    field->setAlignment(Qt::AlignCenter);
    field->setWordWrap(true);
    field->setFixedWidth(200);
    field->resize(200, 32);
    field->resize(200, std::max(32, field->heightForWidth(200)));
    const QSize fitted = field->size();
    view->resize(fitted.width() + 32, fitted.height() + 34);
    // 16 from the left and 18 from the bottom.
    field->move(16, view->height() - 18 - fitted.height());
    return view;
}

platform::Popover &MRKOPrefButton::descPopover()
{
    if (!m_descPopover) {
        m_descPopover = std::make_unique<platform::Popover>();
        m_descPopover->setBehavior(platform::Popover::ApplicationDefined);
    }
    const QString text = MRKOPreferencesViewController::prefDescriptionWithSEL(m_selector);
    // Without a description the popover keeps what it had.
    if (!text.isEmpty() && text != QLatin1String("No Description")) {
        std::unique_ptr<QWidget> content = toolTipViewControllerWithString(text);
        m_descPopover->setContentWidget(content.release()); // the popover takes it
    }
    return *m_descPopover;
}

bool MRKOPrefButton::isPopoverShown() const
{
    return m_descPopover && m_descPopover->isShown();
}

void MRKOPrefButton::enterEvent(QEnterEvent *event)
{
    QToolButton::enterEvent(event);
    mouseEntered();
}

void MRKOPrefButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    mouseExited();
}

void MRKOPrefButton::mouseEntered()
{
    m_mouseInside = true;
    const AppDelegate *delegate = AppDelegate::shared();
    m_wantsToolTip = delegate && delegate->useToolTips();
    prepareShowDescPop();
}

void MRKOPrefButton::mouseExited()
{
    m_mouseInside = false;
    m_wantsToolTip = false;
    hideDescPop();
}

void MRKOPrefButton::prepareShowDescPop()
{
    platform::RunLoop &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, QStringLiteral("showDescPop"), kShowDelay, [this] { showDescPop(); });
}

void MRKOPrefButton::showDescPop()
{
    if (!m_wantsToolTip || !mouseStillHere())
        return;
    platform::Popover &popover = descPopover();
    QWidget *superview = parentWidget() ? parentWidget() : this;
    const QRect frame = parentWidget() ? geometry() : rect();
    const QRectF upright(frame.x(), superview->height() - frame.y() - frame.height(), frame.width(), frame.height());
    popover.showRelativeToRect(upright, superview, platform::RectEdge::MaxX);
}

void MRKOPrefButton::hideDescPop()
{
    if (m_descPopover)
        m_descPopover->close();
}
