#pragma once

#include <QImage>
#include <QWidget>

/// The tool bar's flashlight indicator: an image that never takes a click, so a press reaches what lies below
/// (the panel, which a press may move).
class MRKOFlashlightImageView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOFlashlightImageView(QWidget *parent = nullptr);

    [[nodiscard]] const QImage &image() const { return m_image; }
    void setImage(const QImage &image);
    /// Never a target of the pointer.
    [[nodiscard]] QWidget *hitTest(QPoint) const { return nullptr; }
    [[nodiscard]] bool mouseDownCanMoveWindow() const { return true; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
