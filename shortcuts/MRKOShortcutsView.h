#pragma once

#include <QWidget>

class QMimeData;

/// The Shortcuts pane's background: it answers a shortcut dragged from a recorder field but never takes the drop,
/// so a shortcut released outside every field changes nothing.
class MRKOShortcutsView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOShortcutsView(QWidget *parent = nullptr);

    [[nodiscard]] Qt::DropAction draggingEntered() const { return Qt::MoveAction; }
    [[nodiscard]] static bool prepareForDragOperation(const QMimeData &data);
    [[nodiscard]] static bool performDragOperation() { return false; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
