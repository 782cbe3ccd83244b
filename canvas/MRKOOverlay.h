#pragma once

#include <QString>
#include <QWidget>

namespace inkora {
class ActionTarget;
}

/// A black control that sends its action to its target when pressed.
class MRKOOverlay : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOOverlay(QWidget *parent = nullptr) : QWidget(parent) {}

    void setTarget(inkora::ActionTarget *target) { m_target = target; }
    void setAction(const QString &action) { m_action = action; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    inkora::ActionTarget *m_target = nullptr; // not owned
    QString m_action;
};
