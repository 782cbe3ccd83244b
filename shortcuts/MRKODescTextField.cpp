#include "shortcuts/MRKODescTextField.h"

#include "platform/Dispatch.h"
#include "platform/Popover.h"
#include "shortcuts/MRKOShortcutTextFieldCell.h"

#include <QCursor>
#include <QLabel>
#include <QPainter>

namespace {

const QString kShowDescPop = QStringLiteral("showDescPop");

/// A widget's frame in its parent (or its own bounds without one), in the parent's points with y up.
QRectF frameInSuperview(const QWidget &widget, QWidget **view)
{
    QWidget *parent = widget.parentWidget();
    if (!parent) {
        *view = const_cast<QWidget *>(&widget);
        return QRectF(0, 0, widget.width(), widget.height());
    }
    *view = parent;
    const QRect frame = widget.geometry();
    return QRectF(frame.x(), parent->height() - frame.y() - frame.height(), frame.width(), frame.height());
}

} // namespace

MRKODescTextField::MRKODescTextField(QWidget *parent)
    : QWidget(parent), m_cell(std::make_unique<MRKOShortcutTextFieldCell>())
{
    m_textColor = palette().color(QPalette::Text);
}

MRKODescTextField::~MRKODescTextField()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

void MRKODescTextField::setStringValue(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

void MRKODescTextField::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

platform::Popover &MRKODescTextField::descPopover()
{
    if (!m_descPopover) {
        m_descPopover = std::make_unique<platform::Popover>();
        m_descPopover->setBehavior(platform::Popover::ApplicationDefined);
    }
    updateDescPopoverContent();
    return *m_descPopover;
}

void MRKODescTextField::updateDescPopoverContent()
{
    QString text;
    if (m_descProvider)
        text = m_descProvider->textFieldDescription();
    if (text.isNull())
        text = textFieldDescription();
    if (!m_descPopover)
        return;
    if (text.isEmpty()) {
        m_descPopover->setContentWidget(nullptr);
        return;
    }
    std::unique_ptr<QWidget> view = toolTipViewControllerWithString(text);
    const QSize size = view->size();
    m_descPopover->setContentWidget(view.release());
    m_descPopover->setContentSize(size);
}

std::unique_ptr<QWidget> MRKODescTextField::toolTipViewControllerWithString(const QString &string)
{
    auto view = std::make_unique<QWidget>();
    auto *label = new QLabel(string, view.get()); // child
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->adjustSize();
    const QSize text = label->size();
    view->resize(text.width() + 32, text.height() + 34);
    // 16 points from the left and 18 from the bottom.
    label->move(16, view->height() - 18 - text.height());
    return view;
}

void MRKODescTextField::updateHighlightIfNeeded()
{
    if (mouseStillHere())
        mouseEntered();
    else
        mouseExited();
}

void MRKODescTextField::mouseEntered()
{
    prepareShowDescPop();
}

void MRKODescTextField::mouseExited()
{
    hideDescPop();
}

bool MRKODescTextField::mouseStillHere() const
{
    return isVisible() && rect().contains(mapFromGlobal(QCursor::pos()));
}

void MRKODescTextField::prepareShowDescPop()
{
    auto &runLoop = platform::RunLoop::main();
    runLoop.cancelPreviousPerformRequests(this);
    runLoop.performAfterDelay(this, kShowDescPop, kDescriptionDelay, [this] { showDescPop(); });
}

void MRKODescTextField::showDescPop()
{
    if (!mouseStillHere())
        return;
    platform::Popover &popover = descPopover();
    if (!popover.contentWidget())
        return;
    QWidget *view = nullptr;
    const QRectF frame = frameInSuperview(*this, &view);
    popover.showRelativeToRect(frame, view, platform::RectEdge::MaxX);
}

void MRKODescTextField::hideDescPop()
{
    if (m_descPopover)
        m_descPopover->close();
}

void MRKODescTextField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_textColor);
    painter.drawText(m_cell->drawingRectForBounds(rect()), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

void MRKODescTextField::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    mouseEntered();
}

void MRKODescTextField::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    mouseExited();
}
