#include "canvas/MRKOWhiteBoardColorController.h"

#include "app/AppDelegate.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"

#include <QVariant>

namespace {

const QString kCustomColorKey = QStringLiteral("WhiteBoardCustomColor");

} // namespace

MRKOWhiteBoardColorController &MRKOWhiteBoardColorController::colorController()
{
    static MRKOWhiteBoardColorController controller;
    return controller;
}

MRKOWhiteBoardColorController::MRKOWhiteBoardColorController()
{
    loadColor();
}

QColor MRKOWhiteBoardColorController::whiteboardColor(qint64 type)
{
    switch (type) {
    case 0:
        return QColor::fromRgbF(1, 1, 1, 1);
    case 1:
        return QColor::fromRgbF(0.2, 0.2, 0.2, 1);
    case 3: {
        const QColor custom = colorController().effectiveColor();
        return custom.isValid() ? custom : QColor::fromRgbF(0, 0, 0, 1);
    }
    default:
        return QColor::fromRgbF(0, 0, 0, 1);
    }
}

QColor MRKOWhiteBoardColorController::defaultWhiteBoardCustomColor()
{
    return QColor::fromRgbF(1.0, 0.91, 0.83, 1.0);
}

void MRKOWhiteBoardColorController::loadColor()
{
    const QVariant stored = MRKOUtils::userDefaults().objectForKey(kCustomColorKey);
    const QColor color = stored.typeId() == QMetaType::QString
                             ? OnOffColor::srgbColorWithString(stored.toString()).toQColor()
                             : QColor();
    m_whiteboardColor = color.isValid() ? color : defaultWhiteBoardCustomColor();
}

void MRKOWhiteBoardColorController::setWhiteboardColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_whiteboardColor = color;
    MRKOUtils::userDefaults().setObject(OnOffColor::srgbColorStringValue(color), kCustomColorKey);
    updateWhiteBackIfNeeded();
}

QColor MRKOWhiteBoardColorController::effectiveColor() const
{
    return m_whiteboardColor.isValid() ? m_whiteboardColor : defaultWhiteBoardCustomColor();
}

void MRKOWhiteBoardColorController::updateWhiteBackIfNeeded()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate || !delegate->isWhiteboardOn())
        return;
    for (MRKOWindowController *controller : delegate->windowControllersArray()) {
        MRKODraw *canvas = controller->drawView();
        if (!canvas)
            continue;
        if (!canvas->whiteboardIsHidden() && !canvas->hasWhiteBack())
            canvas->makeWhiteBack();
        canvas->updateWhiteBackColor();
    }
}

void MRKOWhiteBoardColorController::resetColor()
{
    MRKOUtils::userDefaults().removeObjectForKey(kCustomColorKey);
    loadColor();
}
