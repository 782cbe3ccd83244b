#include "helper/MRKOShowWindow.h"

#include "helper/IndicatorImages.h"

#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The rounded backdrop under the icon and the label: dark and translucent, cut by the mask image.
class MaskedBackdrop final : public QWidget
{
public:
    explicit MaskedBackdrop(QWidget *parent) : QWidget(parent) {}

    void setMaskImage(const QImage &mask)
    {
        m_mask = mask;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_mask.isNull())
            return;
        QImage backdrop(m_mask.size(), QImage::Format_ARGB32_Premultiplied);
        backdrop.setDevicePixelRatio(m_mask.devicePixelRatio());
        backdrop.fill(QColor(30, 30, 30, 190));
        QPainter masker(&backdrop);
        masker.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        masker.drawImage(QPointF(0, 0), m_mask);
        masker.end();
        painter.drawImage(rect(), backdrop);
    }

private:
    QImage m_mask;
};

} // namespace

MRKOShowWindow::MRKOShowWindow(QWidget *parent) : QWidget(parent)
{
    resize(kSide, kSide);
    m_content = new MaskedBackdrop(this); // child
    m_content->setGeometry(rect());
    auto *layout = new QVBoxLayout(m_content); // child of the backdrop
    layout->setContentsMargins(20, 24, 20, 20);
    m_button = new QPushButton(m_content); // child
    m_button->setFlat(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIconSize(QSize(100, 100));
    m_button->setFixedSize(110, 110);
    m_button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    m_label = new QLabel(m_content); // child
    m_label->setAlignment(Qt::AlignCenter);
    QFont font = m_label->font();
    font.setPointSizeF(15);
    font.setBold(true);
    m_label->setFont(font);
    m_label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    layout->addWidget(m_label);
    setUpWindow();
    addMaskToLayer();
}

MRKOShowWindow::~MRKOShowWindow() = default;

void MRKOShowWindow::setUpWindow()
{
    // Override-redirect keeps the window above everything on every desktop, outside the window manager's
    // reach; it takes neither focus nor pointer input.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint |
                   Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setWindowTitle(QStringLiteral("Inkora Helper"));
    setWindowOpacity(0); // invisible until first shown
}

void MRKOShowWindow::addMaskToLayer()
{
    const QImage mask = inkora::indicatorImage(QStringLiteral("MRKOLogoMask"), m_content->size());
    static_cast<MaskedBackdrop *>(m_content)->setMaskImage(mask);
    // Without a compositing manager the corners would show: shape the window itself too.
    setMask(QBitmap::fromImage(mask.createAlphaMask()));
}

void MRKOShowWindow::paintEvent(QPaintEvent *)
{
    // Transparent: only the backdrop draws.
}
