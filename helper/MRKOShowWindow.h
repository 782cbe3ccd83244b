#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

/// The tool indicator's window: borderless, translucent, above every other window, click-through, shaped by the
/// "MRKOLogoMask" image; it holds an icon button and a label.
class MRKOShowWindow final : public QWidget
{
    Q_OBJECT
public:
    /// The window's size in points.
    static constexpr int kSide = 200;

    explicit MRKOShowWindow(QWidget *parent = nullptr);
    ~MRKOShowWindow() override;

    [[nodiscard]] QPushButton *toolButton() const { return m_button; }
    [[nodiscard]] QLabel *label() const { return m_label; }

    void setUpWindow();
    void addMaskToLayer();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_content = nullptr;    // child; the rounded backdrop that the mask shapes
    QPushButton *m_button = nullptr; // child
    QLabel *m_label = nullptr;       // child
};
