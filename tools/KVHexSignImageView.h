#pragma once

#include <QLabel>
#include <QPointer>

class QLineEdit;

/// The "#" inside the hexadecimal field: a click copies "#" and the field's text to the clipboard and shows
/// "Copied" in the hint label; resting on it for a second shows "Click to copy".
class KVHexSignImageView final : public QLabel
{
    Q_OBJECT
public:
    explicit KVHexSignImageView(QWidget *parent = nullptr);
    ~KVHexSignImageView() override;

    [[nodiscard]] QLineEdit *parentTextField() const { return m_parentTextField; }
    void setParentTextField(QLineEdit *field) { m_parentTextField = field; }
    [[nodiscard]] QLabel *clickToCopyTextField() const { return m_clickToCopyTextField; }
    void setClickToCopyTextField(QLabel *label) { m_clickToCopyTextField = label; }
    [[nodiscard]] const QString &imageName() const { return m_imageName; }

    void mouseEntered();
    void mouseExited();
    void mouseDown();
    void performShowToolTip();
    void performHideToolTip();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setImageName(const QString &name);
    void animateHintAlpha(double alpha);

    QPointer<QLineEdit> m_parentTextField;   // not owned
    QPointer<QLabel> m_clickToCopyTextField; // not owned
    QString m_imageName;
};
