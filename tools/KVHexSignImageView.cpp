#include "tools/KVHexSignImageView.h"

#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Dispatch.h"

#include <QClipboard>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPropertyAnimation>

namespace {

constexpr double kShowDelay = 1.0;       // seconds resting before the hint shows
constexpr double kHideDelay = 0.3;       // seconds after leaving
constexpr double kCopiedHideDelay = 1.5; // seconds after a copy
const QColor kSignColor(170, 170, 170);

} // namespace

KVHexSignImageView::KVHexSignImageView(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setImageName(QStringLiteral("MRKOHexPrefix"));
}

KVHexSignImageView::~KVHexSignImageView()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

void KVHexSignImageView::setImageName(const QString &name)
{
    m_imageName = name;
    const double scale = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(ImageNamedWithColor::imageNamedWithColor(name, kSignColor, scale));
    pixmap.setDevicePixelRatio(scale);
    setPixmap(pixmap);
}

void KVHexSignImageView::animateHintAlpha(double alpha)
{
    if (!m_clickToCopyTextField)
        return;
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_clickToCopyTextField->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(m_clickToCopyTextField); // owned by the label
        effect->setOpacity(0);
        m_clickToCopyTextField->setGraphicsEffect(effect);
    }
    auto *animation = new QPropertyAnimation(effect, "opacity", effect);
    animation->setDuration(250);
    animation->setEndValue(alpha);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void KVHexSignImageView::mouseEntered()
{
    auto &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, QStringLiteral("performShowToolTip"), kShowDelay, [this] { performShowToolTip(); });
    setImageName(QStringLiteral("MRKOHexPrefixBold"));
}

void KVHexSignImageView::mouseExited()
{
    auto &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, QStringLiteral("performHideToolTip"), kHideDelay, [this] { performHideToolTip(); });
    setImageName(QStringLiteral("MRKOHexPrefix"));
}

void KVHexSignImageView::mouseDown()
{
    auto &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    if (!m_parentTextField || m_parentTextField->text().isEmpty())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QLatin1Char('#') + m_parentTextField->text());
    if (m_clickToCopyTextField)
        m_clickToCopyTextField->setText(QStringLiteral("Copied"));
    animateHintAlpha(1.0);
    loop.performAfterDelay(this, QStringLiteral("performHideToolTip"), kCopiedHideDelay,
                           [this] { performHideToolTip(); });
}

void KVHexSignImageView::performShowToolTip()
{
    if (m_clickToCopyTextField)
        m_clickToCopyTextField->setText(QStringLiteral("Click to copy"));
    animateHintAlpha(1.0);
}

void KVHexSignImageView::performHideToolTip()
{
    animateHintAlpha(0.0);
}

void KVHexSignImageView::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    mouseEntered();
}

void KVHexSignImageView::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    mouseExited();
}

void KVHexSignImageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mouseDown();
    event->accept();
}
