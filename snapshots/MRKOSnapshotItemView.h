#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <memory>

class MRKOSnapshot;
class MRKOSnapshotItem;
class MRKOSnapshotNameField;
class QMenu;

/// The face of a browser item, 170 x 150 points: the thumbnail (a spinner until it is ready), the name in an
/// in-place editor, the removed badge for an entry of the bin and the dashed highlight of a selected item. Clicks go
/// to the browser; a double click applies the shot, a right click shows the roll's menu.
class MRKOSnapshotItemView final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kSpinnerStopDelay = 0.1; // seconds after the thumbnail arrives

    explicit MRKOSnapshotItemView(MRKOSnapshotItem &item, QWidget *parent);
    ~MRKOSnapshotItemView() override;

    [[nodiscard]] MRKOSnapshotItem &item() const { return m_item; }
    [[nodiscard]] const QString &name() const { return m_name; }
    void setName(const QString &name);
    [[nodiscard]] MRKOSnapshotNameField *nameField() const { return m_nameField; }
    [[nodiscard]] const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    [[nodiscard]] bool isSpinning() const { return m_spinning; }
    void startProgressIndicator();
    void stopProgressIndicator();
    [[nodiscard]] bool highlight() const { return m_highlight; }
    void setHighlight(bool highlight);
    [[nodiscard]] bool hasRemovedBadge() const { return m_badge; }
    void setTrashItem(bool trash);

    /// The rename with undo: an empty name is refused, the same name adds no step.
    void undoSnapshotName(const QString &text);
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshot() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    MRKOSnapshotItem &m_item;                     // owns this view
    MRKOSnapshotNameField *m_nameField = nullptr; // child
    QString m_name;
    QImage m_image;
    QPoint m_pressPoint;
    quint64 m_spinnerTimer = 0;
    int m_spinnerStep = 0;
    bool m_pressed = false;
    bool m_dragged = false;
    bool m_highlight = false;
    bool m_spinning = false;
    bool m_badge = false;
    bool m_trash = false;
};
