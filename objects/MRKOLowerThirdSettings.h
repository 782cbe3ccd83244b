#pragma once

#include "objects/MRKOLowerThird.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class MRKOLowerThirdColorButton;
class QComboBox;
class QLineEdit;
namespace inkora {
class PrefSlider;
}

/// The window that edits the lower third's texts, colours, sizes and preset, with a still preview on the active
/// display that follows every change; Play replays the show, Stop rests it, Reset brings the defaults back.
class MRKOLowerThirdSettings final : public QWidget, public MRKOLowerThirdDelegate
{
    Q_OBJECT
public:
    /// Made on first use, with its window built.
    static MRKOLowerThirdSettings &sharedController();
    /// Whether the window is visible; never makes the controller.
    [[nodiscard]] static bool isShown();
    /// Takes the shared controller down (at quit): the preview goes with it.
    static void releaseSharedController();
    ~MRKOLowerThirdSettings() override;

    void showWindow();
    void loadWindow();
    void showLowerThird();
    void loadLowerThirdSettings();
    void updateControls();

    void colorChanged(MRKOLowerThirdColorButton *sender);
    void titleFieldChanged();
    void subtitleFieldChanged();
    void sizeScaleSliderAction();
    void cornerRadiusSliderAction();
    void titleWidthSliderAction();
    void subtitleWidthSliderAction();
    void animationPresetButtonAction();
    void doneFinishEditing();
    void windowWillClose();
    void playAnimation();
    void stopAnimation();
    void resetLowerThirdSettings();
    [[nodiscard]] static QStringList lowerThirdSettingsKeys();

    void lowerThirdAnimationDidFinished(MRKOLowerThird *lowerThird) override;

    [[nodiscard]] MRKOLowerThird *lowerThird() const { return m_lowerThird.get(); }
    [[nodiscard]] QLineEdit *titleField() const { return m_titleField; }
    [[nodiscard]] QLineEdit *subtitleField() const { return m_subtitleField; }
    [[nodiscard]] QComboBox *animationPresetsButton() const { return m_animationPresetsButton; }
    [[nodiscard]] inkora::PrefSlider *sizeScaleSlider() const { return m_sizeScaleSlider; }
    [[nodiscard]] inkora::PrefSlider *cornerRadiusSlider() const { return m_cornerRadiusSlider; }
    [[nodiscard]] inkora::PrefSlider *titleWidthSlider() const { return m_titleWidthSlider; }
    [[nodiscard]] inkora::PrefSlider *subtitleWidthSlider() const { return m_subtitleWidthSlider; }
    [[nodiscard]] MRKOLowerThirdColorButton *titleColorButton() const { return m_titleColorButton; }
    [[nodiscard]] MRKOLowerThirdColorButton *titleBackgroundColorButton() const { return m_titleBackgroundColorButton; }
    [[nodiscard]] MRKOLowerThirdColorButton *subtitleColorButton() const { return m_subtitleColorButton; }
    [[nodiscard]] MRKOLowerThirdColorButton *subtitleBackgroundColorButton() const
    {
        return m_subtitleBackgroundColorButton;
    }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    MRKOLowerThirdSettings();
    [[nodiscard]] MRKOLowerThirdColorButton *makeColorButton(const QString &key);
    void sliderChanged(double &value, const inkora::PrefSlider &slider, const QString &key);

    MRKOLowerThird::Settings m_settings;
    std::unique_ptr<MRKOLowerThird> m_lowerThird;
    QLineEdit *m_titleField = nullptr;                                    // child
    QLineEdit *m_subtitleField = nullptr;                                 // child
    QComboBox *m_animationPresetsButton = nullptr;                        // child
    inkora::PrefSlider *m_sizeScaleSlider = nullptr;                      // child
    inkora::PrefSlider *m_cornerRadiusSlider = nullptr;                   // child
    inkora::PrefSlider *m_titleWidthSlider = nullptr;                     // child
    inkora::PrefSlider *m_subtitleWidthSlider = nullptr;                  // child
    MRKOLowerThirdColorButton *m_titleColorButton = nullptr;              // child
    MRKOLowerThirdColorButton *m_titleBackgroundColorButton = nullptr;    // child
    MRKOLowerThirdColorButton *m_subtitleColorButton = nullptr;           // child
    MRKOLowerThirdColorButton *m_subtitleBackgroundColorButton = nullptr; // child
};
