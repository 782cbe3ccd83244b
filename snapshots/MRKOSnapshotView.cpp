#include "snapshots/MRKOSnapshotView.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Geometry.h"
#include "snapshots/MRKOAddSnapshotViewController.h"
#include "snapshots/MRKOSearchField.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/MRKOSnapshotToolbar.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapshotPanelSheet.h"
#include "snapshots/SnapshotSegmentedControl.h"
#include "tools/MRKOSmallButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

#include <cmath>

namespace {

constexpr double kSegmentWidth = 150;   // points
constexpr double kSegmentedWidth = 450; // points
const QColor kRecentlyDeletedFlash = QColor::fromRgbF(0.92f, 0.78f, 0.2f, 1);

MRKOSnapshotManager &manager()
{
    return MRKOSnapshotManager::sharedSnapshotManager();
}

} // namespace

MRKOSnapshotView::MRKOSnapshotView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setUpView();
}

MRKOSnapshotView::~MRKOSnapshotView() = default;

void MRKOSnapshotView::placeChild(QWidget &child, const QRectF &frame) const
{
    child.setGeometry(platform::flipY(frame, double(height())).toRect());
}

QRectF MRKOSnapshotView::frameOfChild(const QWidget &child) const
{
    return platform::flipY(QRectF(child.geometry()), double(height()));
}

QRectF MRKOSnapshotView::segmentedTopFrame() const
{
    return {width() / 2.0 - kSegmentedWidth / 2, height() - 26.0, kSegmentedWidth, 20};
}

void MRKOSnapshotView::updateCollectionViewFrame()
{
    placeChild(*m_snapshotsViewController, QRectF(30, 0, width() - 30.0, kBrowserHeight));
}

void MRKOSnapshotView::setUpView()
{
    m_topBar = new QWidget(this); // child
    QStringList labels;
    for (qint64 type = 0; type <= 2; ++type)
        labels << MRKOUtils::shotsViewNameWithType(type);
    m_segmentedTop = new inkora::SnapshotSegmentedControl(labels, this); // child
    connect(m_segmentedTop, &inkora::SnapshotSegmentedControl::segmentSelected, this,
            &MRKOSnapshotView::segmentedTopSelected);

    m_closeButton = new MRKOSmallButton(QStringLiteral("CloseSnapshots"), this); // child
    m_closeButton->setImageName(QStringLiteral("KPCloseOval"));
    connect(m_closeButton, &MRKOSmallButton::actionSent, this, &MRKOSnapshotView::closePanel);

    m_snapshotsViewController = new MRKOSnapshotsViewController(this); // child
    m_addViewController = new MRKOAddSnapshotViewController(this);     // child
    m_snapshotToolbar = new MRKOSnapshotToolbar(this);                 // child
    m_snapshotsViewController->setSnapshotToolbar(m_snapshotToolbar);

    m_searchField = new MRKOSearchField(this); // child
    connect(m_searchField, &MRKOSearchField::searchAction, this, &MRKOSnapshotView::searchAction);
    connect(m_searchField, &MRKOSearchField::searchFieldDidStartSearching, this,
            &MRKOSnapshotView::searchFieldDidStartSearching);
    connect(m_searchField, &MRKOSearchField::searchFieldDidEndSearching, this,
            &MRKOSnapshotView::searchFieldDidEndSearching);
    m_snapshotToolbar->validateButtons();
}

void MRKOSnapshotView::layOutTopBar()
{
    const double w = width();
    const double h = height();
    placeChild(*m_topBar, QRectF(0, h - kTopBarHeight, w, kTopBarHeight));
    placeChild(*m_segmentedTop, segmentedTopFrame());
    placeChild(*m_closeButton, QRectF(9, h - 24, 17, 17));
    updateCollectionViewFrame();
    placeChild(*m_addViewController, QRectF(0, 0, MRKOAddSnapshotViewController::kWidth, kBrowserHeight));
    placeChild(*m_snapshotToolbar,
               QRectF(30, h - m_snapshotToolbar->height(), m_snapshotToolbar->width(), m_snapshotToolbar->height()));
    const double fieldWidth = std::ceil(0.2 * w);
    const double fieldHeight = m_searchField->sizeHint().height();
    placeChild(*m_searchField,
               QRectF(w - fieldWidth - 8, h - std::floor(fieldHeight / 2 + 16), fieldWidth, fieldHeight));
}

void MRKOSnapshotView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutTopBar();
}

void MRKOSnapshotView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(30, 30, 34, 235));
    painter.fillRect(m_topBar->geometry(), QColor(48, 48, 52, 235));
    // The separator along the top edge.
    painter.fillRect(QRect(0, 0, width(), 1), QColor(255, 255, 255, 40));
}

void MRKOSnapshotView::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    // The canvas below keeps following the pointer for its decorations.
    const AppDelegate *app = AppDelegate::shared();
    if (!app || !rect().contains(event->position().toPoint()))
        return;
    if (MRKODraw *canvas = app->drawViewForMouseLocation())
        canvas->update();
}

void MRKOSnapshotView::closePanel()
{
    MRKOSnapshotManager::hidePanelAnimated(true);
    m_closeButton->update();
}

void MRKOSnapshotView::segmentedTopSelected(int segment)
{
    if (segment == manager().collectionViewType())
        return;
    manager().showCollectionWithViewType(segment);
    if (!m_searchField->text().isEmpty()) {
        m_searchField->cancelSearch();
        m_searchField->clearFocus();
    }
}

void MRKOSnapshotView::searchAction()
{
    manager().updateSearchWithString(m_searchField->text());
}

void MRKOSnapshotView::searchFieldDidStartSearching()
{
    manager().startSearch();
}

void MRKOSnapshotView::searchFieldDidEndSearching()
{
    manager().endSearch();
}

void MRKOSnapshotView::highlightSnapshots()
{
    m_segmentedTop->flashSegment(0, OnOffColor::iconOnColor());
}

void MRKOSnapshotView::highlightDazadUdizs()
{
    m_segmentedTop->flashSegment(1, OnOffColor::iconOnColor());
}

void MRKOSnapshotView::highlightRecentlyDeleted()
{
    m_segmentedTop->flashSegment(2, kRecentlyDeletedFlash);
}

// ---------------------------------------------------------------------------------------------------------------
// The sheets

bool MRKOSnapshotView::hasQuestionWindow() const
{
    return bool(m_questionWindow);
}

bool MRKOSnapshotView::hasExportOverlay() const
{
    return bool(m_exportWindow);
}

void MRKOSnapshotView::askAQuestion()
{
    const qint64 selected = qint64(m_snapshotsViewController->collectionView()->selectionIndexes().size());
    if (selected == 0) {
        qCWarning(lcSnapshots) << "No one snapshots selected in Recently Deleted";
        return;
    }
    removeQuestionWindowIfNeeded();
    QString message = QStringLiteral("Do you want to delete these snapshots? ⚠️");
    if (selected == 1)
        message = QStringLiteral("Do you want to delete this snapshot? ⚠️");
    else if (selected == qint64(manager().snapshots().size()))
        message = QStringLiteral("Do you want to delete all snapshots? ⚠️");
    QWidget *panel = window();
    m_questionWindow = std::make_unique<inkora::SnapshotPanelSheet>(*panel, message, [this] { supressAskWindow(); });
    m_questionWindow->addButton(QStringLiteral("Cancel"), QRectF(52, 11, 76, 32), Qt::Key_Escape,
                                [this] { closeAskWindow(MRKOSnapshotManager::kTrashResponseCancel); });
    m_questionWindow->addButton(MRKOUtils::moveToBinName(), QRectF(228, 11, 130, 32), 0,
                                [this] { closeAskWindow(MRKOSnapshotManager::kTrashResponseMoveToBin); });
    QPushButton *remove =
        m_questionWindow->addButton(QStringLiteral("Delete"), QRectF(370, 11, 80, 32), Qt::Key_Return,
                                    [this] { closeAskWindow(MRKOSnapshotManager::kTrashResponseDelete); });
    remove->setStyleSheet(QStringLiteral("color: rgb(255, 149, 0);"));
    m_questionWindow->show();
}

void MRKOSnapshotView::closeAskWindow(qint64 tag)
{
    manager().removeFromTrashWithResponse(tag);
    removeQuestionWindowIfNeeded();
}

void MRKOSnapshotView::supressAskWindow()
{
    removeQuestionWindowIfNeeded();
}

void MRKOSnapshotView::removeQuestionWindowIfNeeded()
{
    if (!m_questionWindow)
        return;
    std::unique_ptr<inkora::SnapshotPanelSheet> sheet = std::move(m_questionWindow);
    inkora::SnapshotPanelSheet *leaving = sheet.get();
    m_leavingSheets.push_back(std::move(sheet));
    leaving->dismiss(
        [this, leaving] { std::erase_if(m_leavingSheets, [leaving](const auto &s) { return s.get() == leaving; }); });
}

void MRKOSnapshotView::makeExportOverlay(const QString &message)
{
    removeExportWindowIfNeeded();
    if (MRKOSnapshotPanel::panelHasInit())
        MRKOSnapshotPanel::sharedSnapshotPanel().setExportCancelled(false);
    m_exportWindow = std::make_unique<inkora::SnapshotPanelSheet>(*window(), message, std::function<void()>());
    m_exportWindow->addButton(QStringLiteral("Cancel"), QRectF(416, 11, 76, 32), 0, [this] { cancelExport(); });
    m_exportWindow->addProgressBar();
    m_exportWindow->show();
}

void MRKOSnapshotView::setPrgressValue(double value)
{
    if (m_exportWindow && m_exportWindow->progress())
        m_exportWindow->progress()->setValue(int(std::round(value)));
}

void MRKOSnapshotView::cancelExport()
{
    if (MRKOSnapshotPanel::panelHasInit())
        MRKOSnapshotPanel::sharedSnapshotPanel().setExportCancelled(true);
}

void MRKOSnapshotView::removeExportWindowIfNeeded()
{
    if (!m_exportWindow)
        return;
    std::unique_ptr<inkora::SnapshotPanelSheet> sheet = std::move(m_exportWindow);
    inkora::SnapshotPanelSheet *leaving = sheet.get();
    m_leavingSheets.push_back(std::move(sheet));
    leaving->dismiss(
        [this, leaving] { std::erase_if(m_leavingSheets, [leaving](const auto &s) { return s.get() == leaving; }); });
}
