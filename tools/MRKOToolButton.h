#pragma once

#include "foundation/SrgbColor.h"
#include "tools/MRKOButton.h"

/// A tool button of the panel: its icon tinted by state, stripes over the selected icon while the hand or the
/// scissors is on, and a fading copy of itself that the canvas flashes when a drawing fades out.
class MRKOToolButton : public MRKOButton
{
    Q_OBJECT
public:
    explicit MRKOToolButton(const QString &identifier = {}, QWidget *parent = nullptr);

    [[nodiscard]] bool wantToCheckAuxAction() const { return m_wantToCheckAuxAction; }
    void setWantToCheckAuxAction(bool want);
    /// Every change of state drops the stripes until the tool bar asks again.
    void setState(int state) override;

    /// Lays a copy of the alternate icon in the colour (the icon-on colour when none) over the button and fades it
    /// out over the live fade time, or 1 s when that is 0.
    void animateFadeWithColor(const inkora::SrgbColor &color);

protected:
    void drawRect(QPainter &painter, const QRectF &rect) override;

private:
    bool m_wantToCheckAuxAction = false;
};
