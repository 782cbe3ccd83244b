#include "snapshots/MRKOAddSnapshotViewController.h"

#include "app/AppDelegate.h"
#include "platform/Dispatch.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/MRKOSmallButton.h"

namespace {

constexpr int kButtonSize = 17; // points

} // namespace

MRKOAddSnapshotViewController::MRKOAddSnapshotViewController(QWidget *parent) : QWidget(parent)
{
    resize(int(kWidth), 170);
    m_addButton = new MRKOSmallButton(QStringLiteral("CreateSnapshot"), this); // child
    m_addButton->setGeometry((int(kWidth) - kButtonSize) / 2 + 2, (height() - kButtonSize) / 2, kButtonSize,
                             kButtonSize);
    connect(m_addButton, &MRKOSmallButton::actionSent, this, &MRKOAddSnapshotViewController::addSnapshot);
    validateAddButton();
}

void MRKOAddSnapshotViewController::addSnapshot()
{
    MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
    const qint64 type = manager.collectionViewType();
    if (type == 2) {
        manager.selectAll();
        manager.removeSelectedSnapshots();
        return;
    }
    // The click ends before the shot is taken.
    platform::DispatchQueue::main().async([type] {
        AppDelegate *app = AppDelegate::shared();
        if (!app)
            return;
        if (type == 1)
            app->takeADazadUdizWithEvent(nullptr);
        else
            app->takeASnapshotWithEvent(nullptr);
    });
}

void MRKOAddSnapshotViewController::validateAddButton()
{
    const qint64 type =
        MRKOSnapshotManager::isMade() ? MRKOSnapshotManager::sharedSnapshotManager().collectionViewType() : 0;
    if (type == 1) {
        m_addButton->setImageName(QStringLiteral("MRKOAddDazadUdizOval"));
        m_addButton->setDescIdentifier(QStringLiteral("CreateDazadUdiz"));
    } else if (type == 2) {
        m_addButton->setImageName(QStringLiteral("MRKODeleteAllOval"));
        m_addButton->setDescIdentifier(QStringLiteral("DeleteAllSnapshots"));
    } else {
        m_addButton->setImageName(QStringLiteral("MRKOAddOval"));
        m_addButton->setDescIdentifier(QStringLiteral("CreateSnapshot"));
    }
}
