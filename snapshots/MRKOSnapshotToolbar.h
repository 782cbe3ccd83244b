#pragma once

#include <QWidget>

class MRKOSmallButton;

/// The snapshot panel's tool bar: apply, share, remove, save, Quick Look, put back and clean up, each handed to the
/// snapshot manager; the buttons follow the selection and the roll shown.
class MRKOSnapshotToolbar final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOSnapshotToolbar(QWidget *parent = nullptr);

    void validateButtons();

    void applySnapshotAction();
    void shareSnapshotAction();
    void removeSnapshotAction();
    void saveLoadSnapshotAction();
    void quickLookSnapshotAction();
    void putBackSnapshotAction();
    void cleanUpAction();

    MRKOSmallButton *applyButton = nullptr;     // child
    MRKOSmallButton *shareButton = nullptr;     // child
    MRKOSmallButton *removeButton = nullptr;    // child
    MRKOSmallButton *quickLookButton = nullptr; // child
    MRKOSmallButton *saveButton = nullptr;      // child
    MRKOSmallButton *putBackButton = nullptr;   // child
    MRKOSmallButton *cleanUpButton = nullptr;   // child
};
