#include "tools/MRKOThicknessButton.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"
#include "tools/ButtonImage.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QMenu>
#include <QMouseEvent>

#include <array>

namespace {

const QString kAllToolsThicknessKey = QStringLiteral("AllToolsThicknessKey");
const std::array<const char *, 6> kPresetTitles = {"Ultralight", "Thin", "Light", "Medium", "Semibold", "Bold"};

} // namespace

MRKOThicknessButton::MRKOThicknessButton(const QString &identifier, QWidget *parent) : MRKOButton(identifier, parent)
{
    m_thickness = quint64(MRKOUtils::userDefaults().integerForKey(kAllToolsThicknessKey));
    update();
}

void MRKOThicknessButton::changeThickness(quint64 preset)
{
    if (preset == m_thickness)
        return;
    m_thickness = preset;
    platform::NotificationCenter::defaultCenter().post(kMRKOThicknessChangedNotification, this);
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(preset), kAllToolsThicknessKey);
    defaults.synchronize();
    update();
    sendAction();
}

void MRKOThicknessButton::popUpMenu()
{
    auto menu = std::make_unique<QMenu>(QString(), this);
    for (size_t preset = 0; preset < kPresetTitles.size(); ++preset) {
        QAction *item = menu->addAction(QString::fromLatin1(kPresetTitles[preset]));
        item->setData(qint64(preset));
        item->setCheckable(true);
        item->setChecked(preset == m_thickness);
        connect(item, &QAction::triggered, this, [this, item] { menuItemSelected(item); });
    }
    popUpMenuAtButton(std::move(menu));
}

void MRKOThicknessButton::menuItemSelected(QAction *item)
{
    changeThickness(quint64(item->data().toLongLong()));
}

void MRKOThicknessButton::drawRect(QPainter &painter, const QRectF &rect)
{
    QColor base = OnOffColor::iconOffColor();
    if (isMouseIn::isMouseIn(*this))
        base = isHighlighted() ? OnOffColor::iconPressedColor() : OnOffColor::iconOnColor();
    int lit = -1; // which bar stands for the preset
    if (m_thickness <= 2)
        lit = 0;
    else if (m_thickness == 3)
        lit = 1;
    else if (m_thickness <= 5)
        lit = 2;
    if (lit >= 0) {
        const std::array<QString, 3> bars = {QStringLiteral("ThicknessMedium1"), QStringLiteral("ThicknessMedium2"),
                                             QStringLiteral("ThicknessMedium3")};
        for (int bar = 0; bar < 3; ++bar)
            ImageNamedWithColor::drawAlternateInRect(painter,
                                                     inkora::buttonImage(bars[size_t(bar)], devicePixelRatioF()), rect,
                                                     bar == lit ? OnOffColor::iconOnColor() : base);
    }
    if (isMouseIn::isMouseIn(*this))
        ImageNamedWithColor::drawAlternateInRect(
            painter, inkora::buttonImage(QStringLiteral("MRKOPopUpTriangle"), devicePixelRatioF()), rect,
            OnOffColor::iconOnColor());
}

void MRKOThicknessButton::mouseDown(QMouseEvent *)
{
    // Unlike other buttons the press keeps a description already due from the pointer's entry.
    highlight(true);
}

void MRKOThicknessButton::mouseUp(QMouseEvent *event)
{
    if (isInside(event, *this))
        popUpMenu();
    else
        highlight(false);
}

void MRKOThicknessButton::rightMouseUp(QMouseEvent *)
{
    popUpMenu();
}
