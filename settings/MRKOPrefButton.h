#pragma once

#include <QPointer>
#include <QToolButton>

#include <memory>

namespace platform {
class Popover;
} // namespace platform

/// A preference's help button: resting on it 0.3 s shows the preference's description in a popover to its right,
/// while "UseToolTips" is on; leaving closes it.
class MRKOPrefButton final : public QToolButton
{
    Q_OBJECT
public:
    static constexpr double kShowDelay = 0.3; // seconds at rest before the description shows

    /// `selector`: the action of the preference it describes.
    explicit MRKOPrefButton(const QString &selector, QWidget *parent = nullptr);
    ~MRKOPrefButton() override;

    [[nodiscard]] QString selector() const { return m_selector; }
    [[nodiscard]] bool wantsToolTip() const { return m_wantsToolTip; }

    /// The popover, made when first needed, showing the current description.
    platform::Popover &descPopover();
    [[nodiscard]] bool isPopoverShown() const;
    /// The content for a description: the text fitted in a 200 x 32 field, with 16 and 18 points around it.
    [[nodiscard]] static std::unique_ptr<QWidget> toolTipViewControllerWithString(const QString &text);

    void mouseEntered();
    void mouseExited();
    void prepareShowDescPop();
    void showDescPop();
    void hideDescPop();
    [[nodiscard]] bool mouseStillHere() const { return m_mouseInside; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_selector;
    std::unique_ptr<platform::Popover> m_descPopover;
    bool m_wantsToolTip = false;
    bool m_mouseInside = false;
};
