#pragma once

#include "shortcuts/MRKODescTextField.h"
#include "shortcuts/ShortcutOutline.h"

#include <QPointer>

#include <memory>

class KQShortCut;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QToolButton;
namespace platform {
class Popover;
}

/// The field that shows one command's shortcut in the Shortcuts pane and is the user's handle on it: a click opens
/// the recorder popover, Control-click switches the shortcut on or off, hover buttons restore, switch and open the
/// menu, the context menu copies, pastes, swaps and assigns keys, and a drag onto another field exchanges the two.
/// Every change goes through the registry at once and is stored under the field's identifier.
class KQTextField final : public MRKODescTextField
{
    Q_OBJECT
public:
    static constexpr const char *kStringPasteboardType = "mrko.shortcutString";
    static constexpr const char *kDragPasteboardType = "mrko.shortcutDrag";
    static constexpr double kLeftTextInset = 12; // points
    static constexpr double kDragThreshold = 2;  // points the pointer moves before a press becomes a drag
    static constexpr double kMenuDelay = 0.05;   // seconds before the drop-down button's menu shows
    static constexpr double kFlashFadeTime = 2;  // seconds

    explicit KQTextField(QWidget *parent = nullptr);
    ~KQTextField() override;

    /// The tag for the field of an action: below its default's symbol count, so the default can be recorded again,
    /// and at most the recorder's usual 2.
    [[nodiscard]] static qint64 tagForAction(const QString &action);

    /// The command's live shortcut, owned by the application delegate; null once that lets go of it.
    [[nodiscard]] std::shared_ptr<KQShortCut> shortCut() const { return m_shortCut.lock(); }
    void setShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    void updateShortcutString();

    void setNormalColor();
    void setHighlightedColor();
    void setColorDependingOnMousePosition();
    [[nodiscard]] bool isHighlighted() const { return m_isHighlighted; }

    void saveShortCutToUserDefaults();
    void saveShortCutToUserDefaultsIfNeeded();
    void removeFromUserDefaults();
    /// A preset's entry applied to the live shortcut without touching the registry.
    void forceLoadShortcutNoBindWithString(const QString &string);
    /// The action's default applied to the live shortcut without touching the registry.
    void forceRestoreShortcutNoBind();

    void enableToggleShortcut();
    void restoreShortcut();
    void removeShortCut();
    void copyShortCut();
    /// Assigns the key and modifiers of a pasted shortcut; null is refused with a log line.
    void assignShortcut(const std::shared_ptr<KQShortCut> &represented);
    /// Assigns a key without modifiers.
    void assignFunction(quint16 keyCode);
    /// Exchanges with the field at that index of the pane's field list.
    void swapShortCut(qint64 tag);
    void editShortCut();
    void exchangeShortcutWithTextField(KQTextField &other);
    /// Flashes a dashed outline: orange for a warning, else the accent colour.
    void animateShortcutAction(bool warning);

    [[nodiscard]] QString textFieldDescription() const override;

    /// The context menu, built afresh.
    [[nodiscard]] std::unique_ptr<QMenu> menuForEvent();
    [[nodiscard]] std::unique_ptr<QMenu> assignFunctionKeyMenu();
    [[nodiscard]] std::unique_ptr<QMenu> assignSingleKeyMenu();

    [[nodiscard]] bool draggingHasStarted() const { return m_draggingHasStarted; }
    void setDraggingHasStarted(bool started);

    /// Opens the recorder popover beside the field.
    void invokeTargetAction();
    /// A click released at `position` (field coordinates) with these modifier flags.
    void mouseUpINKRA(const QPointF &position, quint64 modifierFlags);

    // Drag reception; `source` is the drag's source object (null from another program).
    [[nodiscard]] bool draggingEntered(const QMimeData &data, QObject *source);
    void draggingExited();
    /// Whether the drop was taken; a drop of the field on itself is a click and is not taken.
    bool performDragOperation(const QMimeData &data, QObject *source, const QPointF &position);

    void updateHighlightIfNeeded() override;
    void mouseEntered() override;
    void mouseExited() override;

    /// The area at the left edge that starts a drag at once: twice the height plus 12 points wide.
    [[nodiscard]] QRect handleArea() const;
    [[nodiscard]] QToolButton *restoreButton() const { return m_restoreButton; }
    [[nodiscard]] QToolButton *enableButton() const { return m_enableButton; }
    [[nodiscard]] QToolButton *dropdownButton() const { return m_dropdownButton; }
    [[nodiscard]] double sixDotsAlpha() const;
    [[nodiscard]] inkora::ShortcutOutline *sourceLayer() const { return m_sourceLayer; }
    [[nodiscard]] inkora::ShortcutOutline *insertionLayer() const { return m_insertionLayer; }
    [[nodiscard]] platform::Popover *attentionPopover() const { return m_attentionPopover.get(); }
    [[nodiscard]] KQTextField *removedShortcutField() const { return m_removedShortcutField; }
    /// "Show it" of the attention popover: scrolls the removed field into the middle of the pane and flashes it.
    void showRemovedShortcut();
    /// "Don't notify again".
    void dontNotifyAgain();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setUpButtons();
    /// Gives the live shortcut the key and modifiers, bound anew and enabled, and stores it.
    void assignKey(quint16 keyCode, quint64 modifierFlags);
    void layOutButtons();
    void updateEnableButtonImage();
    void updateCursor(const QPoint &position);
    void startDrag(const QPoint &hotSpot);
    void showMenu(std::unique_ptr<QMenu> menu, const QPoint &globalPosition);
    void menuDidClose();
    void dropdownMenuAction();
    void showAttentionPopover();
    [[nodiscard]] std::shared_ptr<KQShortCut> pastedShortCut() const;
    [[nodiscard]] QPointer<inkora::ShortcutOutline> makeOutline(const QRect &frame, const QColor &color, bool dashed);

    std::weak_ptr<KQShortCut> m_shortCut;               // not owned: the application delegate's
    QToolButton *m_dropdownButton = nullptr;            // child
    QToolButton *m_restoreButton = nullptr;             // child
    QToolButton *m_enableButton = nullptr;              // child
    QLabel *m_sixDots = nullptr;                        // child
    QPointer<inkora::ShortcutOutline> m_insertionLayer; // child of the parent while shown
    QPointer<inkora::ShortcutOutline> m_sourceLayer;    // child of the parent while shown
    QPointer<KQTextField> m_removedShortcutField;
    std::unique_ptr<platform::Popover> m_attentionPopover;
    std::unique_ptr<QMenu> m_menu; // the open context menu
    QPoint m_pressPosition;
    bool m_tracking = false; // a press is followed for a click or a drag
    bool m_cursorPushed = false;
    bool m_isHighlighted = false;
    bool m_draggingHasStarted = false;
};
