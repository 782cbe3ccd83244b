#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class MRKODragWindowView;
class MRKOTools;
class QAbstractButton;
class QEvent;
class QStandardItemModel;
class QVBoxLayout;
namespace inkora {
class OptionsSidebar;
} // namespace inkora

/// The pane a sidebar row shows: owned by the options controller, or one the process shares (the Preferences and
/// remote panes), which the controller only borrows while it shows it.
struct MRKOOptionsPane
{
    [[nodiscard]] static MRKOOptionsPane owned(std::unique_ptr<QWidget> view);
    [[nodiscard]] static MRKOOptionsPane shared(QWidget &view);
    [[nodiscard]] QWidget *view() const { return m_view; }

    /// Runs each time before the pane is put into the content area.
    std::function<void()> willShow;

private:
    std::unique_ptr<QWidget> m_owned;
    QPointer<QWidget> m_view;
};

/// The options side area: a sidebar of one group and eleven rows beside a content area that shows the chosen
/// row's pane. Two rows act instead of showing a pane: one hides the overlay, one quits. The last chosen pane row
/// survives relaunches in "OutlineViewSelectionKey". Main thread only.
class MRKOOptionsController final : public QWidget
{
    Q_OBJECT
public:
    /// Rows as on screen: 0 is the group, separators sit at 2, 8 and 10.
    enum Row : int {
        kGroupRow = 0,
        kFirstRow = 1,
        kRemoteRow = 3,
        kShortcutsRow = 4,
        kPreferencesRow = 5,
        kFeedbackRow = 6,
        kAboutRow = 7,
        kCloseOverlayRow = 9,
        kQuitRow = 11,
    };
    static constexpr int kRowCount = 12;
    static constexpr double kSidebarWidth = 170;  // points
    static constexpr double kContentWidth = 520;  // points
    static constexpr double kDefaultHeight = 446; // points: the tool panel's height

    explicit MRKOOptionsController(QWidget *parent = nullptr);
    ~MRKOOptionsController() override;
    Q_DISABLE_COPY_MOVE(MRKOOptionsController)

    [[nodiscard]] inkora::OptionsSidebar *sidebar() const { return m_sidebar; }
    [[nodiscard]] QWidget *contentView() const { return m_contentView; }
    [[nodiscard]] MRKODragWindowView *dragWindowView() const { return m_dragView; }
    [[nodiscard]] QAbstractButton *openMenu() const;
    /// The tool bar's button that opens this area; the first-page row's image follows.
    void setOpenMenu(QAbstractButton *button);
    [[nodiscard]] MRKOTools *toolsViewController() const;
    void setToolsViewController(MRKOTools *tools);

    /// The pane of a pane row, made on first use; null for every other row.
    [[nodiscard]] QWidget *paneForRow(int row);
    /// The Shortcuts pane.
    [[nodiscard]] QWidget *shortcutsViewController() { return paneForRow(kShortcutsRow); }
    /// The pane in the content area; null before the first.
    [[nodiscard]] QWidget *shownPane() const;

    /// The sidebar item of a row: the group's title, a row's title, or "-" for a separator.
    [[nodiscard]] static QString itemForRow(int row);
    [[nodiscard]] static bool isPaneRow(int row);
    /// The row's height in points.
    [[nodiscard]] static int heightOfRow(int row);
    /// Whether a row may become selected through `event` (null when code selects it): never the group or a
    /// separator; the close-overlay and quit rows by anything but a key press.
    [[nodiscard]] static bool shouldSelectRow(int row, const QEvent *event);

    /// The selected row; -1 for none.
    [[nodiscard]] int selectedRow() const;
    /// Selects the row as code does (no key press), replacing the selection; what the row does follows.
    void selectRow(int row);
    /// Stores the row under "OutlineViewSelectionKey"; -1 is ignored.
    void saveSelection(int row);
    /// Selects the stored row when it is a pane row; otherwise selects nothing and answers false.
    bool loadSelection();

    /// What the quit row runs; the application's terminate unless replaced.
    void setTerminateHandler(std::function<void()> handler) { m_terminate = std::move(handler); }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void viewDidLoad();
    void outlineViewSelectionDidChange();
    void showPane(int row);
    void closeOverlay();
    void updateImageView();
    /// Makes a row's pane (MRKOOptionsController+Panes.cpp).
    [[nodiscard]] MRKOOptionsPane makePane(int row);

    inkora::OptionsSidebar *m_sidebar = nullptr; // child
    QStandardItemModel *m_model = nullptr;       // child
    MRKODragWindowView *m_dragView = nullptr;    // child
    QWidget *m_contentView = nullptr;            // child
    QVBoxLayout *m_contentLayout = nullptr;      // child of the content view
    QPointer<QAbstractButton> m_openMenu;
    QPointer<MRKOTools> m_toolsViewController;
    std::array<std::unique_ptr<MRKOOptionsPane>, kRowCount> m_panes;
    QPointer<QWidget> m_shownPane;
    std::function<void()> m_terminate;
};
