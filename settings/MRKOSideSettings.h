#pragma once

#include "platform/Popover.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;
/// Three settings outside the Preferences pane and outside presets: logging to a file and two rendering switches
/// of the canvas, with a button that opens the log and one that resets them.
class MRKOSideSettings final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOSideSettings(QWidget *parent = nullptr);

    /// "EnableLog", "AllowDrawBaseLayer", "DrawCroppedChunks".
    [[nodiscard]] static QStringList supplementarySettingsKeys();
    static void removeSupplementarySettingsObjectsFromUserDefaults();

    [[nodiscard]] platform::Popover *popover() const { return m_popover; }
    void setPopover(platform::Popover *popover) { m_popover = popover; }
    [[nodiscard]] QCheckBox *enableLog() const { return m_enableLog; }
    [[nodiscard]] QCheckBox *useCustomDrawLayer() const { return m_useCustomDrawLayer; }
    [[nodiscard]] QCheckBox *drawChunks() const { return m_drawChunks; }

    /// Sets the boxes from the settings; the chunks box works only while the base layer is on.
    void relaodSettings();
    void enableLogAction();
    void openLog();
    void useCustomDrawLayerAction();
    void drawChunksAction();
    void resetSettings();
    void closePopover();

private:
    static void updateExtras();

    QPointer<platform::Popover> m_popover;     // not owned
    QCheckBox *m_enableLog = nullptr;          // child
    QCheckBox *m_useCustomDrawLayer = nullptr; // child
    QCheckBox *m_drawChunks = nullptr;         // child
};

/// The side settings in a semi-transient popover, made anew at each opening.
class MRKOSideSettingsPopover final
{
public:
    MRKOSideSettingsPopover() = delete;
    /// A new popover whose content is a new side-settings view.
    [[nodiscard]] static std::unique_ptr<platform::Popover> settingsPopover();
};
