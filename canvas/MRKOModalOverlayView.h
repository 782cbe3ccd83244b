#pragma once

#include <QString>
#include <QWidget>

namespace inkora {
class ActionTarget;
}

/// Dims what lies below it and takes every click itself, so that nothing inside or below it can be clicked; a
/// press sends its action to its target.
class MRKOModalOverlayView : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOModalOverlayView(QWidget *parent = nullptr);

    [[nodiscard]] inkora::ActionTarget *target() const { return m_target; }
    void setTarget(inkora::ActionTarget *target) { m_target = target; }
    [[nodiscard]] QString action() const { return m_action; }
    void setAction(const QString &action) { m_action = action; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    void invokeTargetAction();

    inkora::ActionTarget *m_target = nullptr; // not owned (assign)
    QString m_action;
};
