#pragma once

#include <QWidget>

class MRKOSmallButton;

/// The add button at the left end of the browser: takes a snapshot, takes a DazadUdiz, or empties the bin, by the
/// roll shown.
class MRKOAddSnapshotViewController final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kWidth = 30; // points

    explicit MRKOAddSnapshotViewController(QWidget *parent = nullptr);

    [[nodiscard]] MRKOSmallButton *addButton() const { return m_addButton; }
    void addSnapshot();
    void validateAddButton();

private:
    MRKOSmallButton *m_addButton = nullptr; // child
};
