#include "settings/MRKOOptionsController.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Defaults.h"
#include "settings/MRKODragWindowView.h"
#include "settings/OptionsSidebar.h"
#include "tools/MRKOSeparatorRow.h"
#include "tools/MRKOTools.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

const QString kOutlineViewSelectionKey = QStringLiteral("OutlineViewSelectionKey");
const QString kSeparatorItem = QStringLiteral("-");

struct RowItem
{
    const char *title;
    const char *image;
};

// Children of the group, rows 1 to 11.
const std::array<RowItem, 11> kChildren = {{
    {"Welcome", nullptr},
    {"-", nullptr},
    {"Remote", "MRKOConnectionsThin"},
    {"Shortcuts", "MRKOKeyboardSmall"},
    {"Preferences", "MRKOGearStroke"},
    {"Feedback", "MRKOMessage"},
    {"About", "MRKOInfo"},
    {"-", nullptr},
    {"Hide Inkora", "MRKOBulbSmall"},
    {"-", nullptr},
    {"Quit Inkora", "MRKOPowerOff"},
}};

const QString kGroupTitle = QStringLiteral("Inkora");

QIcon rowIcon(const QString &name, const QColor &colour, double scale)
{
    const QImage image = ImageNamedWithColor::imageNamedWithColor(name, colour, scale);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace

MRKOOptionsPane MRKOOptionsPane::owned(std::unique_ptr<QWidget> view)
{
    MRKOOptionsPane pane;
    pane.m_view = view.get();
    pane.m_owned = std::move(view);
    return pane;
}

MRKOOptionsPane MRKOOptionsPane::shared(QWidget &view)
{
    MRKOOptionsPane pane;
    pane.m_view = &view;
    return pane;
}

MRKOOptionsController::MRKOOptionsController(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MRKOOptionsController"));
    // Presses here choose rows and work controls; only the drag strip moves a window that moves itself.
    setProperty("mouseDownCanMoveWindow", false);
    resize(int(kSidebarWidth + kContentWidth), int(kDefaultHeight));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *side = new QWidget(this); // the sidebar's superview, with the drag strip over its top
    side->setObjectName(QStringLiteral("sidebarView"));
    side->setFixedWidth(int(kSidebarWidth));
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, int(MRKODragWindowView::kHeight), 0, 0);
    m_sidebar = new inkora::OptionsSidebar(side);
    m_sidebar->setObjectName(QStringLiteral("sidebar"));
    sideLayout->addWidget(m_sidebar);
    m_dragView = new MRKODragWindowView(side);
    layout->addWidget(side);
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    m_contentLayout = new QVBoxLayout(m_contentView);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_contentView, 1);
    m_terminate = [] {
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->terminate();
        else
            QCoreApplication::quit();
    };
    viewDidLoad();
}

MRKOOptionsController::~MRKOOptionsController()
{
    // A shared pane goes back to its owner; an owned one goes with its record.
    if (m_shownPane && m_shownPane->parentWidget() == m_contentView) {
        m_contentLayout->removeWidget(m_shownPane);
        m_shownPane->hide();
        m_shownPane->setParent(nullptr);
    }
}

void MRKOOptionsController::viewDidLoad()
{
    m_dragView->setGeometry(0, 0, int(kSidebarWidth), int(MRKODragWindowView::kHeight));
    m_dragView->raise();

    m_model = new QStandardItemModel(this);
    auto *group = new QStandardItem(kGroupTitle);
    group->setFlags(Qt::ItemIsEnabled);
    group->setData(kGroupTitle.toUpper(), Qt::DisplayRole); // the header shows its title in capitals
    group->setData(kGroupTitle, Qt::UserRole);
    QFont header = font();
    header.setBold(true);
    header.setPointSizeF(header.pointSizeF() * 0.85);
    group->setFont(header);
    group->setForeground(palette().color(QPalette::PlaceholderText));
    for (const RowItem &child : kChildren) {
        const QString title = QString::fromUtf8(child.title);
        auto *item = new QStandardItem(title == kSeparatorItem ? QString() : title);
        item->setData(title, Qt::UserRole);
        item->setFlags(title == kSeparatorItem ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (child.image)
            item->setIcon(
                rowIcon(QString::fromUtf8(child.image), palette().color(QPalette::Text), devicePixelRatioF()));
        group->appendRow(item);
    }
    m_model->appendRow(group);

    m_sidebar->setRowHeight([](int row) { return heightOfRow(row); });
    m_sidebar->setSelectionRule([](int row, const QEvent *event) { return shouldSelectRow(row, event); });
    m_sidebar->setModel(m_model);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->expandAll();
    for (int row = 1; row < kRowCount; ++row) {
        if (itemForRow(row) == kSeparatorItem) {
            auto *separator = new MRKOSeparatorRow(QSize(int(kSidebarWidth), heightOfRow(row)));
            separator->setFixedHeight(heightOfRow(row));
            m_sidebar->setIndexWidget(m_sidebar->indexForRow(row), separator); // the sidebar takes it
        }
    }
    updateImageView();
    connect(m_sidebar->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MRKOOptionsController::outlineViewSelectionDidChange);
}

void MRKOOptionsController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!AppDelegate::quickTourIsShown())
        m_sidebar->setFocus(Qt::OtherFocusReason);
}

void MRKOOptionsController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_dragView->setGeometry(0, 0, int(kSidebarWidth), int(MRKODragWindowView::kHeight));
}

QAbstractButton *MRKOOptionsController::openMenu() const
{
    return m_openMenu;
}

MRKOTools *MRKOOptionsController::toolsViewController() const
{
    return m_toolsViewController;
}

void MRKOOptionsController::setToolsViewController(MRKOTools *tools)
{
    m_toolsViewController = tools;
}

void MRKOOptionsController::setOpenMenu(QAbstractButton *button)
{
    m_openMenu = button;
    updateImageView();
}

void MRKOOptionsController::updateImageView()
{
    QStandardItem *first = m_model ? m_model->item(0)->child(kFirstRow - 1) : nullptr;
    if (!first)
        return;
    const QImage logo = ImageNamedWithColor::imageNamedWithColor(QStringLiteral("MRKOStatusBar"),
                                                                 palette().color(QPalette::Text), devicePixelRatioF());
    first->setIcon(logo.isNull() ? QIcon() : QIcon(QPixmap::fromImage(logo)));
}

QString MRKOOptionsController::itemForRow(int row)
{
    if (row == kGroupRow)
        return kGroupTitle;
    if (row < 1 || row >= kRowCount)
        return {};
    return QString::fromUtf8(kChildren[size_t(row - 1)].title);
}

bool MRKOOptionsController::isPaneRow(int row)
{
    switch (row) {
    case kFirstRow:
    case kRemoteRow:
    case kShortcutsRow:
    case kPreferencesRow:
    case kFeedbackRow:
    case kAboutRow:
        return true;
    default:
        return false;
    }
}

int MRKOOptionsController::heightOfRow(int row)
{
    if (row == kGroupRow)
        return 17;
    if (itemForRow(row) == kSeparatorItem)
        return 15;
    return row == kFirstRow ? 28 : 30;
}

bool MRKOOptionsController::shouldSelectRow(int row, const QEvent *event)
{
    if (row <= kGroupRow || row >= kRowCount || itemForRow(row) == kSeparatorItem)
        return false;
    if (row == kCloseOverlayRow || row == kQuitRow)
        return !(event && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride));
    return true;
}

int MRKOOptionsController::selectedRow() const
{
    const QModelIndexList selected = m_sidebar->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_sidebar->rowForIndex(selected.first());
}

void MRKOOptionsController::selectRow(int row)
{
    if (!shouldSelectRow(row, nullptr))
        return;
    const QModelIndex index = m_sidebar->indexForRow(row);
    m_sidebar->selectionModel()->setCurrentIndex(index,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MRKOOptionsController::saveSelection(int row)
{
    if (row == -1)
        return;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(row, kOutlineViewSelectionKey);
    defaults.synchronize();
}

bool MRKOOptionsController::loadSelection()
{
    // Only pane rows come back: a stored close-overlay or quit row (from a preset, say) must not act at each
    // opening.
    const qint64 stored = MRKOUtils::userDefaults().integerForKey(kOutlineViewSelectionKey);
    if (stored < 0 || stored >= kRowCount || !isPaneRow(int(stored))) {
        m_sidebar->selectionModel()->clearSelection();
        return false;
    }
    selectRow(int(stored));
    return true;
}

void MRKOOptionsController::outlineViewSelectionDidChange()
{
    const int row = selectedRow();
    if (row == -1)
        return;
    if (row == kQuitRow) {
        if (m_terminate)
            m_terminate();
        return;
    }
    if (row == kCloseOverlayRow) {
        (void)loadSelection();
        closeOverlay();
        return;
    }
    if (isPaneRow(row)) {
        showPane(row);
        saveSelection(row);
    }
}

void MRKOOptionsController::closeOverlay()
{
    if (m_toolsViewController && m_toolsViewController->drawView())
        m_toolsViewController->drawView()->closeAllDrawable();
    else if (AppDelegate *delegate = AppDelegate::shared())
        delegate->closeAllDrawableScreens();
}

QWidget *MRKOOptionsController::paneForRow(int row)
{
    if (!isPaneRow(row))
        return nullptr;
    std::unique_ptr<MRKOOptionsPane> &pane = m_panes[size_t(row)];
    if (!pane || !pane->view())
        pane = std::make_unique<MRKOOptionsPane>(makePane(row));
    return pane->view();
}

QWidget *MRKOOptionsController::shownPane() const
{
    return m_shownPane;
}

void MRKOOptionsController::showPane(int row)
{
    QWidget *view = paneForRow(row);
    if (!view)
        return;
    if (const auto &pane = m_panes[size_t(row)]; pane->willShow)
        pane->willShow();
    if (m_shownPane == view && view->parentWidget() == m_contentView)
        return;
    // A shared pane may have moved to another display's options meanwhile.
    if (m_shownPane && m_shownPane->parentWidget() == m_contentView) {
        m_contentLayout->removeWidget(m_shownPane);
        m_shownPane->hide();
        m_shownPane->setParent(nullptr);
    }
    view->setParent(m_contentView);
    m_contentLayout->addWidget(view);
    view->show();
    m_shownPane = view;
}
