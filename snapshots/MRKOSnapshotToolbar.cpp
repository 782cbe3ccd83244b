#include "snapshots/MRKOSnapshotToolbar.h"

#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "tools/MRKOSmallButton.h"

namespace {

constexpr int kButtonSize = 17;   // points
constexpr int kButtonSpacing = 9; // points
constexpr int kMargin = 4;        // points
constexpr int kHeight = 32;       // points, the top bar's height

} // namespace

MRKOSnapshotToolbar::MRKOSnapshotToolbar(QWidget *parent) : QWidget(parent)
{
    struct Entry
    {
        MRKOSmallButton **button;
        const char *identifier;
        const char *image;
        void (MRKOSnapshotToolbar::*action)();
    };
    const Entry entries[] = {
        {&applyButton, "ApplySnapshot", "MRKOSnapshotApply", &MRKOSnapshotToolbar::applySnapshotAction},
        {&shareButton, "ShareSnapshot", "MRKOSnapshotShare", &MRKOSnapshotToolbar::shareSnapshotAction},
        {&removeButton, "RemoveSnapshot", "MRKOSnapshotRemove", &MRKOSnapshotToolbar::removeSnapshotAction},
        {&saveButton, "SaveSnapshot", "MRKOSnapshotSave", &MRKOSnapshotToolbar::saveLoadSnapshotAction},
        {&quickLookButton, "QuickLookSnapshot", "MRKOSnapshotQuickLook", &MRKOSnapshotToolbar::quickLookSnapshotAction},
        {&putBackButton, "PutBackSnapshot", "MRKOSnapshotPutBack", &MRKOSnapshotToolbar::putBackSnapshotAction},
        {&cleanUpButton, "CleanUpSnapshots", "MRKOSnapshotCleanUp", &MRKOSnapshotToolbar::cleanUpAction},
    };
    int x = kMargin;
    for (const Entry &entry : entries) {
        auto *button = new MRKOSmallButton(QLatin1String(entry.identifier), this); // child
        button->setImageName(QLatin1String(entry.image));
        button->setGeometry(x, (kHeight - kButtonSize) / 2, kButtonSize, kButtonSize);
        connect(button, &MRKOSmallButton::actionSent, this, [this, action = entry.action] { (this->*action)(); });
        *entry.button = button;
        x += kButtonSize + kButtonSpacing;
    }
    resize(x - kButtonSpacing + kMargin, kHeight);
    validateButtons();
}

void MRKOSnapshotToolbar::validateButtons()
{
    if (!MRKOSnapshotManager::isMade())
        return;
    const MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
    const MRKOSnapshotManager::Record selected = manager.selectedSnapshot();
    const qint64 type = manager.collectionViewType();
    cleanUpButton->setEnabled(!manager.snapshots().empty());
    removeButton->setEnabled(bool(selected));
    quickLookButton->setEnabled(bool(selected));
    if (!selected)
        putBackButton->setEnabled(false);
    else if (type == 2)
        putBackButton->setEnabled(true);
    applyButton->setEnabled(selected && selected->sequenceType() != 1);
    saveButton->setEnabled(type == 0);
    shareButton->setEnabled(selected && type != 2);
}

void MRKOSnapshotToolbar::applySnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().applySelectedSnapshot();
}

void MRKOSnapshotToolbar::shareSnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().shareSelectedSnapshotWithSender(shareButton);
}

void MRKOSnapshotToolbar::removeSnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().removeSelectedSnapshots();
}

void MRKOSnapshotToolbar::saveLoadSnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().saveSelectedSnapshotWithSender(saveButton);
}

void MRKOSnapshotToolbar::quickLookSnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().toggleQuickLook();
}

void MRKOSnapshotToolbar::putBackSnapshotAction()
{
    MRKOSnapshotManager::sharedSnapshotManager().putBackSelectedSnapshots();
}

void MRKOSnapshotToolbar::cleanUpAction()
{
    MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
    if (manager.collectionViewType() == 2) {
        manager.hideQuickLookIfNeededAnimated(true);
        manager.selectAll();
        manager.removeSelectedSnapshots();
    } else {
        manager.removeAllSnapshots();
    }
}
