#pragma once

#include <QAbstractButton>

/// The tool bar's drawing-opacity control while semi-transparent drawing is on. For now a plain 32 x 32 button;
/// its slider popover comes with the Preferences.
class MRKOPrefOpacityButton final : public QAbstractButton
{
    Q_OBJECT
public:
    explicit MRKOPrefOpacityButton(QWidget *parent = nullptr);

    [[nodiscard]] int state() const { return m_state; }
    void setState(int state) { m_state = state; }
    /// Draws nothing of its own while set: the buttons under it show through.
    [[nodiscard]] bool disableDraw() const { return m_disableDraw; }
    void setDisableDraw(bool disable);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_state = 0;
    bool m_disableDraw = false;
};
