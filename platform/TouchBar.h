#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {

class TouchBar;

/// One item of a touch strip and the control it carries. There is no such hardware here: the model is kept up to
/// date exactly as the program would keep a real strip, and `TouchBar::dump` shows it; nothing is drawn.
class TouchBarItem
{
public:
    enum class Kind : int { Group, Custom, Popover, ColorPicker, Space, OtherItemsProxy };
    enum class ControlKind : int { None, Button, ToggleButton, SegmentedControl };
    struct Segment
    {
        QString label;
        QString imageName; // the name of the image shown, "" for none
        QImage image;
    };
    using Action = std::function<void(TouchBarItem &sender)>;

    TouchBarItem(const QString &identifier, Kind kind);
    virtual ~TouchBarItem();
    TouchBarItem(const TouchBarItem &) = delete;
    TouchBarItem &operator=(const TouchBarItem &) = delete;

    [[nodiscard]] const QString &identifier() const { return m_identifier; }
    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] const QString &customizationLabel() const { return m_label; }
    void setCustomizationLabel(const QString &label) { m_label = label; }
    [[nodiscard]] int visibilityPriority() const { return m_priority; }
    void setVisibilityPriority(int priority) { m_priority = priority; }

    // The control the item shows.
    [[nodiscard]] ControlKind controlKind() const { return m_controlKind; }
    void setControlKind(ControlKind kind) { m_controlKind = kind; }
    [[nodiscard]] const QString &imageName() const { return m_imageName; }
    [[nodiscard]] const QImage &image() const { return m_image; }
    void setImage(const QString &name, const QImage &image);
    [[nodiscard]] const QString &alternateImageName() const { return m_alternateImageName; }
    void setAlternateImageName(const QString &name) { m_alternateImageName = name; }
    [[nodiscard]] qint64 tag() const { return m_tag; }
    void setTag(qint64 tag) { m_tag = tag; }
    /// 1 on, 0 off.
    [[nodiscard]] int state() const { return m_state; }
    void setState(int state) { m_state = state; }
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    /// Fixed width in points; 0 lets the content decide.
    [[nodiscard]] double width() const { return m_width; }
    void setWidth(double width) { m_width = width; }
    [[nodiscard]] const QList<Segment> &segments() const { return m_segments; }
    void setSegments(const QList<Segment> &segments) { m_segments = segments; }
    void setSegmentImage(int segment, const QString &name, const QImage &image);
    /// -1 when none is selected.
    [[nodiscard]] int selectedSegment() const { return m_selectedSegment; }
    void setSelectedSegment(int segment);
    void setAction(Action action) { m_action = std::move(action); }

    /// What a touch does: a toggle flips its state, a segmented control selects the segment (-1 for none); then the
    /// action runs.
    void press();
    void selectSegment(int segment);

    // A group's members.
    [[nodiscard]] const QList<std::shared_ptr<TouchBarItem>> &children() const { return m_children; }
    void setChildren(const QList<std::shared_ptr<TouchBarItem>> &children) { m_children = children; }
    /// The member of that identifier, searching groups; null when there is none.
    [[nodiscard]] TouchBarItem *findItem(const QString &identifier);

    // A popover item's strip, shown while the popover is open.
    [[nodiscard]] TouchBar *popoverTouchBar() const { return m_popoverTouchBar.get(); }
    void setPopoverTouchBar(std::unique_ptr<TouchBar> bar);
    [[nodiscard]] bool isPopoverShown() const { return m_popoverShown; }
    void showPopover() { m_popoverShown = true; }
    void dismissPopover() { m_popoverShown = false; }

    /// One line: identifier, kind, label, priority and the control's state.
    [[nodiscard]] virtual QString describe() const;

private:
    QString m_identifier;
    Kind m_kind = Kind::Custom;
    QString m_label;
    int m_priority = 0;
    ControlKind m_controlKind = ControlKind::None;
    QString m_imageName;
    QString m_alternateImageName;
    QImage m_image;
    qint64 m_tag = 0;
    int m_state = 0;
    bool m_enabled = true;
    double m_width = 0;
    QList<Segment> m_segments;
    int m_selectedSegment = -1;
    Action m_action;
    QList<std::shared_ptr<TouchBarItem>> m_children;
    std::unique_ptr<TouchBar> m_popoverTouchBar;
    bool m_popoverShown = false;
};

/// Makes the items of a strip when it first needs them.
class TouchBarDelegate
{
public:
    virtual ~TouchBarDelegate() = default;
    /// Null for an identifier the delegate does not know.
    [[nodiscard]] virtual std::shared_ptr<TouchBarItem> makeItemForIdentifier(TouchBar &bar,
                                                                              const QString &identifier) = 0;
};

/// A touch strip: the identifiers it shows in order, with one principal item, each made by the delegate on first
/// use. A strip is never patched for a change of structure: its owner drops it and makes a new one.
class TouchBar final
{
public:
    static constexpr char kFixedSpaceSmall[] = "platform.fixedSpaceSmall";
    static constexpr char kOtherItemsProxy[] = "platform.otherItemsProxy";

    explicit TouchBar(TouchBarDelegate *delegate);
    ~TouchBar();

    [[nodiscard]] TouchBarDelegate *delegate() const { return m_delegate; }
    [[nodiscard]] const QStringList &defaultItemIdentifiers() const { return m_defaultIdentifiers; }
    void setDefaultItemIdentifiers(const QStringList &identifiers) { m_defaultIdentifiers = identifiers; }
    [[nodiscard]] const QString &principalItemIdentifier() const { return m_principal; }
    void setPrincipalItemIdentifier(const QString &identifier) { m_principal = identifier; }

    /// The item shown for the identifier, made on first ask; null when nobody makes it. Group members are found
    /// too.
    [[nodiscard]] TouchBarItem *itemForIdentifier(const QString &identifier);
    /// Makes every default item and answers them in order; identifiers nobody makes are left out.
    [[nodiscard]] QList<TouchBarItem *> items();
    /// The strip as text: one line an item in order, members and popover strips indented below their item.
    [[nodiscard]] QStringList dump();

private:
    TouchBarDelegate *m_delegate = nullptr; // not owned; outlives the strip
    QStringList m_defaultIdentifiers;
    QString m_principal;
    QList<std::shared_ptr<TouchBarItem>> m_made;
};

/// The strip a responder shows: made by the maker when first asked for after a drop.
class TouchBarHost final
{
public:
    using Maker = std::function<std::unique_ptr<TouchBar>()>;
    explicit TouchBarHost(Maker maker) : m_maker(std::move(maker)) {}

    [[nodiscard]] TouchBar *touchBar();
    [[nodiscard]] bool hasTouchBar() const { return m_bar != nullptr; }
    /// Drops the strip (closing any popover on it); the next ask makes a new one.
    void drop() { m_bar.reset(); }
    /// How many strips were made so far.
    [[nodiscard]] int makeCount() const { return m_makeCount; }

private:
    Maker m_maker;
    std::unique_ptr<TouchBar> m_bar;
    int m_makeCount = 0;
};

} // namespace platform
