#pragma once

#include "foundation/SrgbColor.h"

#include <QtGlobal>

class QObject;

/// What a tool bar reports to its display's window controller. Every message is optional: one the delegate does
/// not take does nothing.
class MRKOToolsDelegate
{
public:
    virtual ~MRKOToolsDelegate() = default;

    virtual void toolTypeChanged(quint64 toolType) { Q_UNUSED(toolType) }
    virtual void colorTypeChanged(quint64 colorType) { Q_UNUSED(colorType) }
    virtual void toolThicknessChanged(quint64 thickness) { Q_UNUSED(thickness) }
    virtual void dissolveModeChanged(quint64 mode) { Q_UNUSED(mode) }
    virtual void colorDidChanged(const inkora::SrgbColor &color) { Q_UNUSED(color) }
    /// Null (Esc) hides the overlay on every display; the tool bar itself hides only the tool bar.
    virtual void closeApp(const QObject *sender) { Q_UNUSED(sender) }
    virtual void hideTools(const QObject *sender) { Q_UNUSED(sender) }
    virtual void undo(const QObject *sender) { Q_UNUSED(sender) }
    virtual void redo(const QObject *sender) { Q_UNUSED(sender) }
    virtual void repeat(const QObject *sender) { Q_UNUSED(sender) }
};
