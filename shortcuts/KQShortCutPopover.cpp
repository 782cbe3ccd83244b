#include "shortcuts/KQShortCutPopover.h"

#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutTextField.h"
#include "shortcuts/KQTextField.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QWidget>

namespace {

/// A rectangle of the content given in points with y up, in Qt's y-down widget coordinates.
QRect fromBottom(double x, double y, double width, double height)
{
    return QRect(int(x), int(KQShortCutPopover::kHeight - y - height), int(width), int(height));
}

} // namespace

KQShortCutPopover &KQShortCutPopover::sharedPopover()
{
    static KQShortCutPopover *const shared = [] {
        auto *popover = new KQShortCutPopover; // owned by the application object
        // The window must go while the widget machinery still stands, before the application's children do.
        qAddPostRoutine([] { sharedPopover().m_popover.reset(); });
        return popover;
    }();
    return *shared;
}

KQShortCutPopover::KQShortCutPopover()
    : QObject(QCoreApplication::instance()), m_popover(std::make_unique<platform::Popover>())
{
    auto content = std::make_unique<QWidget>();
    content->resize(int(kWidth), int(kHeight));
    m_shortCutField = new KQShortCutTextField(content.get());
    m_shortCutField->setGeometry(fromBottom(15, 43, 110, 34));
    m_okButton = new QPushButton(QStringLiteral("Ok"), content.get());
    m_okButton->setGeometry(fromBottom(85, 8, 40, 22));
    m_okButton->setFocusPolicy(Qt::NoFocus);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), content.get());
    m_cancelButton->setGeometry(fromBottom(15, 8, 60, 22));
    m_cancelButton->setFocusPolicy(Qt::NoFocus);
    content->setFocusProxy(m_shortCutField);
    connect(m_okButton, &QPushButton::clicked, this, &KQShortCutPopover::okButtonAction);
    connect(m_cancelButton, &QPushButton::clicked, this, &KQShortCutPopover::cancelButtonAction);

    m_popover->setBehavior(platform::Popover::Transient);
    m_popover->setTakesKeyboardFocus(true);
    m_popover->setContentWidget(content.release());
    // However the popover closes, recording stops with it.
    connect(m_popover.get(), &platform::Popover::willClose, this, [this] {
        if (m_shortCutField)
            m_shortCutField->endEditing();
    });
}

KQShortCutPopover::~KQShortCutPopover() = default;

void KQShortCutPopover::setLabel(KQTextField *label)
{
    m_label = label;
    if (!m_shortCutField)
        return;
    m_shortCutField->setSymbolsCount(label ? label->tag() : KQShortCutTextField::kDefaultSymbolsCount);
    // A combination recorded for an earlier field must not be applied to this one by "Ok" alone.
    m_shortCutField->setShortCut(nullptr);
    m_shortCutField->setStringValue(QString());
}

void KQShortCutPopover::okButtonAction()
{
    const std::shared_ptr<KQShortCut> recorded = m_shortCutField ? m_shortCutField->shortCut() : nullptr;
    KQTextField *label = m_label;
    const std::shared_ptr<KQShortCut> live = label ? label->shortCut() : nullptr;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    if (!recorded || !m_shortCutField->shortCutIsEnough() || !live ||
        monitor.alreadyHasShortCutWithKeyCode(recorded->keyCode(), recorded->modifierFlags())) {
        close();
        return;
    }
    monitor.disableShortCut(live);
    monitor.updateShortCutWithShortCut(live, *recorded);
    monitor.enableShortCut(live);
    label->setShortCut(live);
    label->saveShortCutToUserDefaultsIfNeeded();
    close();
}

void KQShortCutPopover::cancelButtonAction()
{
    close();
}

void KQShortCutPopover::showRelativeToRect(const QRectF &rect, QWidget *view, platform::RectEdge edge)
{
    m_popover->showRelativeToRect(rect, view, edge);
    if (m_shortCutField && m_popover->isShown())
        m_shortCutField->setFocus(Qt::PopupFocusReason);
}

void KQShortCutPopover::close()
{
    m_popover->close();
}

bool KQShortCutPopover::isShown() const
{
    return m_popover && m_popover->isShown();
}
