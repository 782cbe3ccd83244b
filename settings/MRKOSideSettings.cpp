#include "settings/MRKOSideSettings.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/MRKOUtilsAux.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kEnableLog = QStringLiteral("EnableLog");
const QString kAllowDrawBaseLayer = QStringLiteral("AllowDrawBaseLayer");
const QString kDrawCroppedChunks = QStringLiteral("DrawCroppedChunks");

platform::Defaults &defaults()
{
    return MRKOUtils::userDefaults();
}

} // namespace

MRKOSideSettings::MRKOSideSettings(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MRKOSideSettings"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Troubleshooting"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    m_enableLog = new QCheckBox(QStringLiteral("Write a log file"), this);
    m_enableLog->setObjectName(QStringLiteral("enableLog"));
    m_useCustomDrawLayer = new QCheckBox(QStringLiteral("Draw finished drawings into one base layer"), this);
    m_useCustomDrawLayer->setObjectName(QStringLiteral("useCustomDrawLayer"));
    m_drawChunks = new QCheckBox(QStringLiteral("Keep only the drawn part of each drawing"), this);
    m_drawChunks->setObjectName(QStringLiteral("drawChunks"));
    for (QCheckBox *box : {m_enableLog, m_useCustomDrawLayer, m_drawChunks})
        layout->addWidget(box);
    auto *buttons = new QHBoxLayout;
    auto *open = new QPushButton(QStringLiteral("Open Log"), this);
    open->setObjectName(QStringLiteral("openLogButton"));
    auto *reset = new QPushButton(QStringLiteral("Reset"), this);
    reset->setObjectName(QStringLiteral("resetButton"));
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    buttons->addWidget(open);
    buttons->addStretch(1);
    buttons->addWidget(reset);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_enableLog, &QCheckBox::clicked, this, &MRKOSideSettings::enableLogAction);
    connect(m_useCustomDrawLayer, &QCheckBox::clicked, this, &MRKOSideSettings::useCustomDrawLayerAction);
    connect(m_drawChunks, &QCheckBox::clicked, this, &MRKOSideSettings::drawChunksAction);
    connect(open, &QPushButton::clicked, this, &MRKOSideSettings::openLog);
    connect(reset, &QPushButton::clicked, this, &MRKOSideSettings::resetSettings);
    connect(close, &QPushButton::clicked, this, &MRKOSideSettings::closePopover);
    adjustSize();
    relaodSettings();
}

QStringList MRKOSideSettings::supplementarySettingsKeys()
{
    return {kEnableLog, kAllowDrawBaseLayer, kDrawCroppedChunks};
}

void MRKOSideSettings::removeSupplementarySettingsObjectsFromUserDefaults()
{
    for (const QString &key : supplementarySettingsKeys())
        defaults().removeObjectForKey(key);
}

void MRKOSideSettings::relaodSettings()
{
    m_enableLog->setChecked(defaults().boolForKey(kEnableLog));
    m_useCustomDrawLayer->setChecked(defaults().integerForKey(kAllowDrawBaseLayer) != 0);
    m_drawChunks->setChecked(defaults().integerForKey(kDrawCroppedChunks) != 0);
    m_drawChunks->setEnabled(m_useCustomDrawLayer->isChecked());
}

void MRKOSideSettings::enableLogAction()
{
    defaults().setBool(m_enableLog->isChecked(), kEnableLog);
    defaults().synchronize();
    MRKOUtilsAux::logIfNeeded();
}

void MRKOSideSettings::openLog()
{
    MRKOUtils::openLog();
}

void MRKOSideSettings::useCustomDrawLayerAction()
{
    const bool on = m_useCustomDrawLayer->isChecked();
    defaults().setInteger(on ? 1 : 0, kAllowDrawBaseLayer);
    defaults().synchronize();
    AppDelegate *delegate = AppDelegate::shared();
    if (delegate)
        delegate->updateAllowDrawBaseLayer();
    m_drawChunks->setEnabled(on);
    if (delegate)
        delegate->updateDrawBaseLayerInAllControllers();
}

void MRKOSideSettings::drawChunksAction()
{
    defaults().setInteger(m_drawChunks->isChecked() ? 1 : 0, kDrawCroppedChunks);
    defaults().synchronize();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->updateDrawCroppedChunks();
}

void MRKOSideSettings::resetSettings()
{
    removeSupplementarySettingsObjectsFromUserDefaults();
    defaults().synchronize();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->updateAllSettings();
    relaodSettings();
    updateExtras();
}

void MRKOSideSettings::updateExtras()
{
    MRKOUtilsAux::logIfNeeded();
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->updateDrawBaseLayerInAllControllers();
}

void MRKOSideSettings::closePopover()
{
    if (m_popover)
        m_popover->close();
}

std::unique_ptr<platform::Popover> MRKOSideSettingsPopover::settingsPopover()
{
    auto popover = std::make_unique<platform::Popover>();
    popover->setBehavior(platform::Popover::SemiTransient);
    auto content = std::make_unique<MRKOSideSettings>();
    content->setPopover(popover.get());
    popover->setContentWidget(content.release()); // the popover takes it
    return popover;
}
