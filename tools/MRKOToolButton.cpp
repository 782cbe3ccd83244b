#include "tools/MRKOToolButton.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Animation.h"
#include "platform/LayerWidget.h"
#include "platform/Transaction.h"
#include "tools/ButtonImage.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QPainter>

#include <cmath>

namespace {

/// The stripes, kept only where the icon is opaque, laid over what is drawn with the exclusion blend.
void drawStripesInIcon(QPainter &painter, const QImage &icon, const QImage &stripes, const QRectF &rect)
{
    if (icon.isNull() || stripes.isNull() || rect.isEmpty())
        return;
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage masked = inkora::imageInShape(stripes, icon, rect.size(), dpr);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Exclusion);
    painter.drawImage(rect, masked);
    painter.restore();
}

} // namespace

MRKOToolButton::MRKOToolButton(const QString &identifier, QWidget *parent) : MRKOButton(identifier, parent) {}

void MRKOToolButton::setWantToCheckAuxAction(bool want)
{
    m_wantToCheckAuxAction = want;
    update();
}

void MRKOToolButton::setState(int state)
{
    m_wantToCheckAuxAction = false;
    MRKOButton::setState(state);
    update();
}

void MRKOToolButton::drawRect(QPainter &painter, const QRectF &rect)
{
    if (state() == 1) {
        const QImage alternate = alternateImage();
        const QImage icon = alternate.isNull() ? image() : alternate;
        ImageNamedWithColor::drawAlternateInRect(
            painter, icon, rect, isHighlighted() ? OnOffColor::iconPressedColor() : OnOffColor::iconOnColor());
        const AppDelegate *delegate = AppDelegate::shared();
        if (m_wantToCheckAuxAction && delegate && delegate->hasAuxActions())
            drawStripesInIcon(painter, icon, inkora::buttonImage(QStringLiteral("StripesMedium"), devicePixelRatioF()),
                              rect);
        return;
    }
    QColor tint = OnOffColor::iconOffColor();
    if (isMouseIn::isMouseIn(*this))
        tint = isHighlighted() ? OnOffColor::iconPressedColor() : OnOffColor::iconOnColor();
    ImageNamedWithColor::drawAlternateInRect(painter, image(), rect, tint);
}

void MRKOToolButton::animateFadeWithColor(const inkora::SrgbColor &color)
{
    const QColor tint = color.isValid() ? color.toQColor() : OnOffColor::iconOnColor();
    const double dpr = devicePixelRatioF();
    auto picture = std::make_shared<QImage>(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))),
                                            QImage::Format_RGBA8888_Premultiplied);
    picture->setDevicePixelRatio(dpr);
    picture->fill(Qt::transparent);
    {
        QPainter p(picture.get());
        ImageNamedWithColor::drawAlternateInRect(p, alternateImage(), QRectF(QPointF(0, 0), QSizeF(size())), tint);
    }

    // A layer of its own over the button's frame in the superview, gone with the fade.
    QWidget *superview = parentWidget() ? parentWidget() : this;
    auto *host = new platform::LayerWidget(superview); // child, deleted when the fade ends
    host->setObjectName(QStringLiteral("fadeFlash"));
    host->setAttribute(Qt::WA_TransparentForMouseEvents);
    host->setGeometry(superview == this ? rect() : geometry());
    host->show();
    host->raise();

    const platform::LayerPtr flash = platform::Layer::create();
    {
        platform::TransactionScope noActions(true);
        flash->setFrame(QRectF(QPointF(0, 0), QSizeF(size())));
        flash->setContents(picture);
        flash->setContentsScale(dpr);
        host->rootLayer()->addSublayer(flash);
    }

    const double fadeTime = inkora::liveSettings().fadeTime;
    platform::Transaction::begin();
    QPointer<platform::LayerWidget> guardedHost(host);
    // Weak: the animation that keeps this block is the flash's own.
    const std::weak_ptr<platform::Layer> weakFlash = flash;
    platform::Transaction::setCompletionBlock([weakFlash, guardedHost] {
        if (const platform::LayerPtr flash = weakFlash.lock())
            flash->removeFromSuperlayer();
        if (guardedHost)
            guardedHost->deleteLater();
    });
    platform::BasicAnimation fade(QStringLiteral("opacity"));
    fade.setToValue(0.0);
    fade.setDuration(fadeTime > 0 ? fadeTime : 1.0);
    fade.setFillMode(platform::Animation::FillMode::Forwards);
    fade.setRemovedOnCompletion(false);
    flash->addAnimation(fade, QStringLiteral("opacity"));
    platform::Transaction::commit();
}
