#include "platform/TouchBar.h"

namespace platform {

namespace {

QString kindName(TouchBarItem::Kind kind)
{
    switch (kind) {
    case TouchBarItem::Kind::Group:
        return QStringLiteral("group");
    case TouchBarItem::Kind::Custom:
        return QStringLiteral("custom");
    case TouchBarItem::Kind::Popover:
        return QStringLiteral("popover");
    case TouchBarItem::Kind::ColorPicker:
        return QStringLiteral("colorPicker");
    case TouchBarItem::Kind::Space:
        return QStringLiteral("space");
    case TouchBarItem::Kind::OtherItemsProxy:
        return QStringLiteral("otherItems");
    }
    return {};
}

void dumpInto(TouchBarItem &item, const QString &indent, QStringList &lines)
{
    lines.append(indent + item.describe());
    for (const auto &child : item.children())
        dumpInto(*child, indent + QStringLiteral("  "), lines);
    if (TouchBar *popover = item.popoverTouchBar()) {
        for (TouchBarItem *inner : popover->items())
            dumpInto(*inner, indent + QStringLiteral("  "), lines);
    }
}

} // namespace

TouchBarItem::TouchBarItem(const QString &identifier, Kind kind) : m_identifier(identifier), m_kind(kind) {}

TouchBarItem::~TouchBarItem() = default;

void TouchBarItem::setImage(const QString &name, const QImage &image)
{
    m_imageName = name;
    m_image = image;
}

void TouchBarItem::setSegmentImage(int segment, const QString &name, const QImage &image)
{
    if (segment < 0 || segment >= m_segments.size())
        return;
    m_segments[segment].imageName = name;
    m_segments[segment].image = image;
}

void TouchBarItem::setSelectedSegment(int segment)
{
    m_selectedSegment = segment >= 0 && segment < m_segments.size() ? segment : -1;
}

void TouchBarItem::press()
{
    if (!m_enabled)
        return;
    if (m_controlKind == ControlKind::ToggleButton)
        m_state = m_state == 1 ? 0 : 1;
    if (m_action)
        m_action(*this);
}

void TouchBarItem::selectSegment(int segment)
{
    if (!m_enabled)
        return;
    setSelectedSegment(segment);
    if (m_action)
        m_action(*this);
}

TouchBarItem *TouchBarItem::findItem(const QString &identifier)
{
    if (m_identifier == identifier)
        return this;
    for (const auto &child : m_children) {
        if (TouchBarItem *found = child->findItem(identifier))
            return found;
    }
    return nullptr;
}

void TouchBarItem::setPopoverTouchBar(std::unique_ptr<TouchBar> bar)
{
    m_popoverTouchBar = std::move(bar);
}

QString TouchBarItem::describe() const
{
    QString line = m_identifier + QLatin1Char(' ') + kindName(m_kind);
    if (!m_label.isEmpty())
        line += QStringLiteral(" \"%1\"").arg(m_label);
    if (m_priority != 0)
        line += QStringLiteral(" priority %1").arg(m_priority);
    switch (m_controlKind) {
    case ControlKind::None:
        break;
    case ControlKind::Button:
    case ControlKind::ToggleButton:
        line += QStringLiteral(" %1 image %2 tag %3 state %4")
                    .arg(m_controlKind == ControlKind::Button ? QStringLiteral("button") : QStringLiteral("toggle"),
                         m_imageName.isEmpty() ? QStringLiteral("-") : m_imageName)
                    .arg(m_tag)
                    .arg(m_state);
        break;
    case ControlKind::SegmentedControl: {
        QStringList names;
        for (const Segment &segment : m_segments)
            names.append(segment.label.isEmpty() ? segment.imageName : segment.label);
        line +=
            QStringLiteral(" segments [%1] selected %2").arg(names.join(QStringLiteral(", "))).arg(m_selectedSegment);
        break;
    }
    }
    if (!m_enabled)
        line += QStringLiteral(" disabled");
    return line;
}

TouchBar::TouchBar(TouchBarDelegate *delegate) : m_delegate(delegate) {}

TouchBar::~TouchBar() = default;

TouchBarItem *TouchBar::itemForIdentifier(const QString &identifier)
{
    for (const auto &item : m_made) {
        if (TouchBarItem *found = item->findItem(identifier))
            return found;
    }
    std::shared_ptr<TouchBarItem> made;
    if (identifier == QLatin1String(kFixedSpaceSmall))
        made = std::make_shared<TouchBarItem>(identifier, TouchBarItem::Kind::Space);
    else if (identifier == QLatin1String(kOtherItemsProxy))
        made = std::make_shared<TouchBarItem>(identifier, TouchBarItem::Kind::OtherItemsProxy);
    else if (m_delegate)
        made = m_delegate->makeItemForIdentifier(*this, identifier);
    if (!made)
        return nullptr;
    m_made.append(made);
    return made.get();
}

QList<TouchBarItem *> TouchBar::items()
{
    QList<TouchBarItem *> shown;
    for (const QString &identifier : QStringList(m_defaultIdentifiers)) {
        if (TouchBarItem *item = itemForIdentifier(identifier))
            shown.append(item);
    }
    return shown;
}

QStringList TouchBar::dump()
{
    QStringList lines;
    for (TouchBarItem *item : items())
        dumpInto(*item, QString(), lines);
    return lines;
}

TouchBar *TouchBarHost::touchBar()
{
    if (!m_bar && m_maker) {
        m_bar = m_maker();
        ++m_makeCount;
    }
    return m_bar.get();
}

} // namespace platform
