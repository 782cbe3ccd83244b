#include "objects/MRKOLowerThirdSettings.h"

#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "foundation/MRKOUtils.h"
#include "objects/MRKOLowerThirdColorButton.h"
#include "platform/Defaults.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "settings/PrefSlider.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

std::unique_ptr<MRKOLowerThirdSettings> s_controller;

constexpr double kSliderStep = 0.01;

const char *const kPresetTitles[] = {"Fly and Spin from the Left",
                                     "Fly and Spin from the Right",
                                     "Fly from the Top",
                                     "Fly from the Centre",
                                     "Fly and Spin from the Top",
                                     "Pop Up from the Bottom Centre",
                                     "Pop Up and Inflate from the Bottom Centre",
                                     "Pop Up from the Bottom",
                                     "Pop Up from the Bottom Corner",
                                     "Inflate",
                                     "Fade"};

} // namespace

MRKOLowerThirdSettings &MRKOLowerThirdSettings::sharedController()
{
    if (!s_controller)
        s_controller.reset(new MRKOLowerThirdSettings());
    return *s_controller;
}

bool MRKOLowerThirdSettings::isShown()
{
    return s_controller && s_controller->isVisible();
}

void MRKOLowerThirdSettings::releaseSharedController()
{
    if (s_controller && s_controller->isVisible())
        s_controller->windowWillClose();
    s_controller.reset();
}

MRKOLowerThirdSettings::MRKOLowerThirdSettings() : QWidget(nullptr)
{
    loadWindow();
}

MRKOLowerThirdSettings::~MRKOLowerThirdSettings()
{
    platform::WindowStack::shared().remove(*this);
    if (m_lowerThird)
        m_lowerThird->cleanUp();
}

MRKOLowerThirdColorButton *MRKOLowerThirdSettings::makeColorButton(const QString &key)
{
    auto *button = new MRKOLowerThirdColorButton(key, this); // child
    button->setAction([this](MRKOLowerThirdColorButton *sender) { colorChanged(sender); });
    return button;
}

void MRKOLowerThirdSettings::loadWindow()
{
    setWindowTitle(QStringLiteral("Lower Third Settings"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    m_titleField = new QLineEdit(this);    // child
    m_subtitleField = new QLineEdit(this); // child
    m_titleColorButton = makeColorButton(QStringLiteral("LowerThirdTitleForegroundColor"));
    m_titleBackgroundColorButton = makeColorButton(QStringLiteral("LowerThirdTitleBackgroundColor"));
    m_subtitleColorButton = makeColorButton(QStringLiteral("LowerThirdSubTitleForegroundColor"));
    m_subtitleBackgroundColorButton = makeColorButton(QStringLiteral("LowerThirdSubTitleBackgroundColor"));
    m_animationPresetsButton = new QComboBox(this); // child
    for (int tag = 0; tag <= 10; ++tag)
        m_animationPresetsButton->addItem(QString::fromLatin1(kPresetTitles[tag]), tag);
    m_sizeScaleSlider = new inkora::PrefSlider(0.5, 1.5, kSliderStep, this);     // child
    m_cornerRadiusSlider = new inkora::PrefSlider(0.0, 1.0, kSliderStep, this);  // child
    m_titleWidthSlider = new inkora::PrefSlider(0.5, 1.5, kSliderStep, this);    // child
    m_subtitleWidthSlider = new inkora::PrefSlider(0.5, 1.5, kSliderStep, this); // child
    m_sizeScaleSlider->setDoubleValue(1.0);
    m_cornerRadiusSlider->setDoubleValue(0.5);
    m_titleWidthSlider->setDoubleValue(1.0);
    m_subtitleWidthSlider->setDoubleValue(1.0);

    auto row = [this](QWidget *field, QWidget *foreground, QWidget *background) {
        auto *line = new QHBoxLayout;
        line->addWidget(field, 1);
        line->addWidget(new QLabel(QStringLiteral("Text"), this));
        line->addWidget(foreground);
        line->addWidget(new QLabel(QStringLiteral("Bar"), this));
        line->addWidget(background);
        return line;
    };
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Title:"), row(m_titleField, m_titleColorButton, m_titleBackgroundColorButton));
    form->addRow(QStringLiteral("Subtitle:"),
                 row(m_subtitleField, m_subtitleColorButton, m_subtitleBackgroundColorButton));
    form->addRow(QStringLiteral("Animation:"), m_animationPresetsButton);
    form->addRow(QStringLiteral("Size:"), m_sizeScaleSlider);
    form->addRow(QStringLiteral("Corner radius:"), m_cornerRadiusSlider);
    form->addRow(QStringLiteral("Title width:"), m_titleWidthSlider);
    form->addRow(QStringLiteral("Subtitle width:"), m_subtitleWidthSlider);

    auto *buttons = new QHBoxLayout;
    auto addButton = [this, buttons](const QString &title, void (MRKOLowerThirdSettings::*action)()) {
        auto *button = new QPushButton(title, this); // child
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
        return button;
    };
    addButton(QStringLiteral("Reset"), &MRKOLowerThirdSettings::resetLowerThirdSettings);
    buttons->addStretch(1);
    addButton(QStringLiteral("Play"), &MRKOLowerThirdSettings::playAnimation);
    addButton(QStringLiteral("Stop"), &MRKOLowerThirdSettings::stopAnimation);
    addButton(QStringLiteral("Done"), &MRKOLowerThirdSettings::doneFinishEditing)->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_titleField, &QLineEdit::textEdited, this, &MRKOLowerThirdSettings::titleFieldChanged);
    connect(m_subtitleField, &QLineEdit::textEdited, this, &MRKOLowerThirdSettings::subtitleFieldChanged);
    connect(m_animationPresetsButton, &QComboBox::activated, this,
            &MRKOLowerThirdSettings::animationPresetButtonAction);
    connect(m_sizeScaleSlider, &inkora::PrefSlider::action, this, &MRKOLowerThirdSettings::sizeScaleSliderAction);
    connect(m_cornerRadiusSlider, &inkora::PrefSlider::action, this, &MRKOLowerThirdSettings::cornerRadiusSliderAction);
    connect(m_titleWidthSlider, &inkora::PrefSlider::action, this, &MRKOLowerThirdSettings::titleWidthSliderAction);
    connect(m_subtitleWidthSlider, &inkora::PrefSlider::action, this,
            &MRKOLowerThirdSettings::subtitleWidthSliderAction);

    winId();
    platform::services().windowSystem->prepareFloatingWindow(*this);
    // Above the overlay windows, so it floats over the canvases.
    platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level() + 1);
}

void MRKOLowerThirdSettings::showWindow()
{
    show();
    loadLowerThirdSettings();
    updateControls();
    showLowerThird();
    if (const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    platform::WindowStack::shared().orderFront(*this);
}

void MRKOLowerThirdSettings::showLowerThird()
{
    if (!m_lowerThird) {
        AppDelegate *app = AppDelegate::shared();
        m_lowerThird = MRKOLowerThird::lowerThirdWithDrawView(app ? app->activeDrawView() : nullptr);
        m_lowerThird->setDelegate(this);
    }
    m_lowerThird->showIfNeeded();
}

void MRKOLowerThirdSettings::loadLowerThirdSettings()
{
    m_settings = MRKOLowerThird::storedSettings();
}

void MRKOLowerThirdSettings::updateControls()
{
    m_titleField->setText(m_settings.title);
    m_subtitleField->setText(m_settings.subtitle);
    m_sizeScaleSlider->setDoubleValue(m_settings.sizeScale);
    m_cornerRadiusSlider->setDoubleValue(m_settings.cornerRadius);
    m_titleWidthSlider->setDoubleValue(m_settings.titleWidth);
    m_subtitleWidthSlider->setDoubleValue(m_settings.subtitleWidth);
    // A preset outside the list selects nothing.
    m_animationPresetsButton->setCurrentIndex(m_animationPresetsButton->findData(m_settings.animationPreset));
    m_titleColorButton->setColor(m_settings.titleForegroundColor);
    m_titleBackgroundColorButton->setColor(m_settings.titleBackgroundColor);
    m_subtitleColorButton->setColor(m_settings.subtitleForegroundColor);
    m_subtitleBackgroundColorButton->setColor(m_settings.subtitleBackgroundColor);
}

void MRKOLowerThirdSettings::colorChanged(MRKOLowerThirdColorButton *)
{
    if (m_lowerThird)
        m_lowerThird->liveUpdateLowerThird();
}

void MRKOLowerThirdSettings::titleFieldChanged()
{
    m_settings.title = m_titleField->text();
    MRKOUtils::userDefaults().setObject(m_settings.title, QStringLiteral("LowerThirdTitle"));
    if (m_lowerThird)
        m_lowerThird->liveUpdateLowerThird();
}

void MRKOLowerThirdSettings::subtitleFieldChanged()
{
    m_settings.subtitle = m_subtitleField->text();
    MRKOUtils::userDefaults().setObject(m_settings.subtitle, QStringLiteral("LowerThirdSubTitle"));
    if (m_lowerThird)
        m_lowerThird->liveUpdateLowerThird();
}

void MRKOLowerThirdSettings::sliderChanged(double &value, const inkora::PrefSlider &slider, const QString &key)
{
    value = slider.doubleValue();
    MRKOUtils::userDefaults().setDouble(value, key);
    if (m_lowerThird)
        m_lowerThird->liveUpdateLowerThird();
}

void MRKOLowerThirdSettings::sizeScaleSliderAction()
{
    sliderChanged(m_settings.sizeScale, *m_sizeScaleSlider, QStringLiteral("kLowerThirdSizeScale"));
}

void MRKOLowerThirdSettings::cornerRadiusSliderAction()
{
    sliderChanged(m_settings.cornerRadius, *m_cornerRadiusSlider, QStringLiteral("kLowerThirdCornerRadius"));
}

void MRKOLowerThirdSettings::titleWidthSliderAction()
{
    sliderChanged(m_settings.titleWidth, *m_titleWidthSlider, QStringLiteral("LowerThirdTitleWidth"));
}

void MRKOLowerThirdSettings::subtitleWidthSliderAction()
{
    sliderChanged(m_settings.subtitleWidth, *m_subtitleWidthSlider, QStringLiteral("LowerThirdSubTitleWidth"));
}

void MRKOLowerThirdSettings::animationPresetButtonAction()
{
    const QVariant tag = m_animationPresetsButton->currentData();
    if (!tag.isValid())
        return;
    m_settings.animationPreset = tag.toLongLong();
    MRKOUtils::userDefaults().setInteger(m_settings.animationPreset, QStringLiteral("LowerThirdAnimationPreset"));
    if (m_lowerThird)
        m_lowerThird->liveUpdateLowerThird();
    playAnimation();
}

void MRKOLowerThirdSettings::doneFinishEditing()
{
    close();
}

void MRKOLowerThirdSettings::closeEvent(QCloseEvent *event)
{
    windowWillClose();
    QWidget::closeEvent(event);
}

void MRKOLowerThirdSettings::windowWillClose()
{
    MRKOUtils::userDefaults().synchronize();
    if (m_lowerThird) {
        m_lowerThird->cleanUp();
        m_lowerThird.reset();
    }
}

void MRKOLowerThirdSettings::playAnimation()
{
    if (m_lowerThird)
        m_lowerThird->forceAnimate();
}

void MRKOLowerThirdSettings::stopAnimation()
{
    lowerThirdAnimationDidFinished(nullptr);
}

void MRKOLowerThirdSettings::resetLowerThirdSettings()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    for (const QString &key : lowerThirdSettingsKeys())
        defaults.removeObjectForKey(key);
    loadLowerThirdSettings();
    updateControls();
    if (m_lowerThird) {
        m_lowerThird->cleanUp();
        m_lowerThird.reset();
    }
    showLowerThird();
}

QStringList MRKOLowerThirdSettings::lowerThirdSettingsKeys()
{
    return {QStringLiteral("LowerThirdTitle"),
            QStringLiteral("LowerThirdTitleForegroundColor"),
            QStringLiteral("LowerThirdTitleBackgroundColor"),
            QStringLiteral("LowerThirdSubTitle"),
            QStringLiteral("LowerThirdSubTitleForegroundColor"),
            QStringLiteral("LowerThirdSubTitleBackgroundColor"),
            QStringLiteral("LowerThirdAnimationPreset"),
            QStringLiteral("kLowerThirdSizeScale"),
            QStringLiteral("kLowerThirdCornerRadius"),
            QStringLiteral("LowerThirdTitleWidth"),
            QStringLiteral("LowerThirdSubTitleWidth")};
}

void MRKOLowerThirdSettings::lowerThirdAnimationDidFinished(MRKOLowerThird *)
{
    if (!m_lowerThird)
        return;
    m_lowerThird->stopAllAnimations();
    m_lowerThird->resetTransform();
    // Stopped before the subtitle came in: it rests beside the title all the same.
    platform::Layer *content = m_lowerThird->contentViewLayer();
    for (const platform::LayerPtr &bar :
         {m_lowerThird->lowerThirdTitleContainer(), m_lowerThird->lowerThirdSubtitleContainer()}) {
        if (content && bar && !bar->superlayer())
            content->addSublayer(bar);
    }
}
