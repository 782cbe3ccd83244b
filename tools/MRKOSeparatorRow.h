#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

class QFrame;

/// A side-panel row that only separates: a separator box across its middle, kept there as the row resizes. Never
/// shown as selected.
class MRKOSeparatorRow final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOSeparatorRow(const QSize &size, QWidget *parent = nullptr);

    /// (0, floor(height / 2) - 2, width, 5), points, y up.
    [[nodiscard]] QRectF separatorRect() const;
    [[nodiscard]] QFrame *separator() const { return m_separator; }
    [[nodiscard]] bool isEmphasized() const { return false; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<QFrame> m_separator; // child
};
