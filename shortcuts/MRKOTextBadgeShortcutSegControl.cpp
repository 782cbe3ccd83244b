#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Popover.h"
#include "shortcuts/ShortcutsNeighbours.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBoundaryFinder>

MRKOTextBadgeShortcutSegControl::MRKOTextBadgeShortcutSegControl(qint64 badgeIndex, QWidget *parent)
    : QWidget(parent), m_identifier(inkora::keyWithTextBadgeIndex(badgeIndex)), m_tag(badgeIndex)
{
    auto *group = new QButtonGroup(this); // child
    for (int segment = 0; segment < 2; ++segment) {
        m_segments[segment] = new QPushButton(this); // child
        m_segments[segment]->setCheckable(true);
        m_segments[segment]->setFocusPolicy(Qt::NoFocus);
        group->addButton(m_segments[segment], segment);
    }
    // Segment 1 stands for the badge's own number.
    m_segments[1]->setText(QString::number(badgeIndex + 1));
    connect(group, &QButtonGroup::idClicked, this, &MRKOTextBadgeShortcutSegControl::segmentHasSeleted);

    const QVariant stored = MRKOUtils::userDefaults().objectForKey(m_identifier);
    if (stored.typeId() == QMetaType::QString)
        m_string = stored.toString();
    updateLabel();
    selectSegment(m_string.isNull() ? 1 : 0);
}

MRKOTextBadgeShortcutSegControl::~MRKOTextBadgeShortcutSegControl()
{
    if (m_popover)
        disconnect(m_popover.get(), nullptr, this, nullptr);
}

void MRKOTextBadgeShortcutSegControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Two segments side by side, the custom text's twice as wide as the number's.
    const int split = width() * 2 / 3;
    m_segments[0]->setGeometry(0, 0, split, height());
    m_segments[1]->setGeometry(split, 0, width() - split, height());
}

void MRKOTextBadgeShortcutSegControl::setString(const QString &string)
{
    m_string = string.isNull() ? QString() : trimStringIfNeeded(string);
}

QString MRKOTextBadgeShortcutSegControl::effectiveString() const
{
    return m_string.isEmpty() ? QStringLiteral("Custom Badge") : m_string;
}

QString MRKOTextBadgeShortcutSegControl::labelForSegment(int segment) const
{
    return segment == 0 || segment == 1 ? m_segments[segment]->text() : QString();
}

QString MRKOTextBadgeShortcutSegControl::trimStringIfNeeded(const QString &string)
{
    if (string.size() <= kMaximumLength)
        return string;
    // Whole characters only: the one that unit 19 belongs to is kept entire.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, string);
    finder.setPosition(kMaximumLength);
    if (!finder.isAtBoundary())
        finder.toNextBoundary();
    const qsizetype end = finder.position() < 0 ? string.size() : finder.position();
    return string.left(end);
}

void MRKOTextBadgeShortcutSegControl::segmentHasSeleted(int segment)
{
    closePopover();
    selectSegment(segment);
    if (segment == 0) {
        if (m_string.isNull())
            setString(defaultText());
        // Opened once the click that chose the segment is over.
        platform::DispatchQueue::main().async([self = QPointer<MRKOTextBadgeShortcutSegControl>(this)] {
            if (self)
                self->makeTextFieldPopover();
        });
    } else {
        m_string = QString();
    }
    // A new badge is stored with its starting text at once, before any editing.
    afterChange();
}

void MRKOTextBadgeShortcutSegControl::applyAdjustmentWithString(const QString &string)
{
    if (!string.isEmpty()) {
        setString(string);
        selectSegment(0);
    } else {
        m_string = QString();
        selectSegment(1);
    }
    afterChange();
}

void MRKOTextBadgeShortcutSegControl::restoreDefaults()
{
    m_string = QString();
    selectSegment(1);
    afterChange();
}

void MRKOTextBadgeShortcutSegControl::selectSegment(int segment)
{
    m_selectedSegment = segment;
    m_segments[segment]->setChecked(true);
}

void MRKOTextBadgeShortcutSegControl::updateLabel()
{
    m_segments[0]->setText(effectiveString());
}

void MRKOTextBadgeShortcutSegControl::afterChange()
{
    updateLabel();
    saveStringIfNeeded();
    inkora::updateStringForTextBadgeIndex(m_string, m_tag);
}

void MRKOTextBadgeShortcutSegControl::saveStringIfNeeded()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    if (m_string.isNull())
        defaults.removeObjectForKey(m_identifier);
    else
        defaults.setObject(m_string, m_identifier);
    defaults.synchronize();
}

void MRKOTextBadgeShortcutSegControl::makeTextFieldPopover()
{
    closePopover();
    m_popover = std::make_unique<platform::Popover>();
    m_popover->setBehavior(platform::Popover::SemiTransient);
    m_popover->setTakesKeyboardFocus(true);
    auto content = std::make_unique<QWidget>();
    content->resize(160, 48);
    auto *field = new QLineEdit(m_string, content.get()); // child
    field->setGeometry(10, 48 - 15 - 20, 140, 20);        // (10, 15) from the lower left
    field->setAlignment(Qt::AlignCenter);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(field, &QLineEdit::returnPressed, this, &MRKOTextBadgeShortcutSegControl::textFieldHasBeenEdited);
    content->setFocusProxy(field);
    m_customTextField = field;
    m_popover->setContentWidget(content.release());
    connect(m_popover.get(), &platform::Popover::willClose, this, &MRKOTextBadgeShortcutSegControl::popoverWillClose);
    m_popover->showRelativeToRect(QRectF(0, 0, width(), height()), this, platform::RectEdge::MinY);
}

void MRKOTextBadgeShortcutSegControl::textFieldHasBeenEdited()
{
    closePopover();
}

void MRKOTextBadgeShortcutSegControl::closePopover()
{
    if (m_popover)
        m_popover->close();
}

void MRKOTextBadgeShortcutSegControl::popoverWillClose()
{
    const QString text = m_customTextField ? m_customTextField->text() : QString();
    setString(text.isEmpty() ? defaultText() : text);
    m_customTextField = nullptr;
    // The popover is still closing; it goes once control is back in the event loop.
    if (m_popover) {
        disconnect(m_popover.get(), nullptr, this, nullptr);
        m_popover.release()->deleteLater();
    }
    afterChange();
}
