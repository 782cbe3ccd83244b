#include "tools/KVPopoverExtrasController.h"

#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/TextScanning.h"
#include "tools/CanvasUnderPointer.h"
#include "tools/KPColorPickerView.h"
#include "tools/KVColorTextField.h"
#include "tools/KVHexSignImageView.h"
#include "tools/KVPaddedTextFieldCell.h"
#include "tools/MRKOIntegerValueFormatter.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double kStripHeight = 48; // points
constexpr double kMinimum = 0.00001;
const QColor kStripBackground(48, 48, 52); // the dark material of the tool bar's top
const QColor kSecondaryLabel(160, 160, 165);

/// A y-up frame of the strip in Qt's coordinates.
QRect stripFrame(double x, double y, double w, double h)
{
    return {int(x), int(kStripHeight - y - h), int(w), int(h)};
}

QLabel *makeLabel(QWidget *parent, const QString &text, QRect frame, int pointSize, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent); // child
    label->setGeometry(frame);
    label->setAlignment(alignment | Qt::AlignVCenter);
    QFont font = label->font();
    font.setPixelSize(pointSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kSecondaryLabel);
    label->setPalette(palette);
    return label;
}

} // namespace

void KVPopoverExtrasView::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    if (rect().contains(event->position().toPoint()))
        inkora::passMouseMovedToCanvasUnderPointer();
}

void KVPopoverExtrasView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kStripBackground);
}

KVPopoverExtrasController::KVPopoverExtrasController(QObject *parent) : QObject(parent) {}

KVPopoverExtrasController::~KVPopoverExtrasController() = default;

KVPopoverExtrasView *KVPopoverExtrasController::view()
{
    if (!m_view)
        loadView();
    return m_view.get();
}

void KVPopoverExtrasController::loadView()
{
    m_view = std::make_unique<KVPopoverExtrasView>();
    KVPopoverExtrasView *view = m_view.get();
    view->resize(246, int(kStripHeight));
    view->setMouseTracking(true);

    const auto makeField = [view](const QString &text, QRect frame) {
        auto *field = new KVColorTextField(view); // child
        field->setGeometry(frame);
        field->setText(text);
        field->setFrame(true);
        field->setAttribute(Qt::WA_MacShowFocusRect, false);
        return field;
    };

    m_hex = makeField(QStringLiteral("BFBFBF"), stripFrame(15, 18, 74, 20));
    m_hex->setCell(KVPaddedTextFieldCell());
    m_hex->setColorTextFormat(KVColorTextField::Hexadecimal);
    connect(m_hex, &KVColorTextField::actionSent, this, [this] { hexAction(); });

    m_hint = makeLabel(view, QStringLiteral("Click to copy"), stripFrame(15, 38, 120, 11), 9, Qt::AlignLeft);
    auto *hidden = new QGraphicsOpacityEffect(m_hint); // owned by the label
    hidden->setOpacity(0);
    m_hint->setGraphicsEffect(hidden);

    m_hexSign = new KVHexSignImageView(m_hex); // child of the field, inside it
    m_hexSign->setGeometry(2, 20 - 2 - 15, 15, 15);
    m_hexSign->setParentTextField(m_hex);
    m_hexSign->setClickToCopyTextField(m_hint);
    makeLabel(view, QStringLiteral("Hex"), stripFrame(15, 8, 74, 10), 10, Qt::AlignHCenter);

    m_red = makeField(QStringLiteral("255"), stripFrame(105, 18, 36, 20));
    m_red->setValidator(new MRKOIntegerValueFormatter(m_red)); // owned by the field
    makeLabel(view, QStringLiteral("R"), stripFrame(105, 8, 36, 10), 10, Qt::AlignHCenter);
    m_green = makeField(QStringLiteral("255"), stripFrame(151, 18, 36, 20));
    makeLabel(view, QStringLiteral("G"), stripFrame(151, 8, 36, 10), 10, Qt::AlignHCenter);
    m_blue = makeField(QStringLiteral("255"), stripFrame(195, 18, 36, 20));
    makeLabel(view, QStringLiteral("B"), stripFrame(195, 8, 36, 10), 10, Qt::AlignHCenter);
    for (KVColorTextField *field : {m_red.data(), m_green.data(), m_blue.data()}) {
        field->setAlignment(Qt::AlignHCenter);
        connect(field, &KVColorTextField::actionSent, this, [this] { updateColorOfRGB(); });
    }
}

void KVPopoverExtrasController::setColor(const inkora::SrgbColor &color)
{
    if (!color.isValid()) {
        m_color = {};
        return;
    }
    m_color = color;
    if (!m_view)
        loadView();
    m_hex->setText(OnOffColor::RGBHexString(color));
    m_red->setText(OnOffColor::RGBRedIntegerString(color));
    m_green->setText(OnOffColor::RGBGreenIntegerString(color));
    m_blue->setText(OnOffColor::RGBBlueIntegerString(color));
}

void KVPopoverExtrasController::hexAction()
{
    const inkora::SrgbColor color = validateColor(colorWithHexEntry(m_hex->text()));
    if (!m_colorPickerView)
        return;
    m_colorPickerView->setColorSource(KPColorSourceHexField);
    m_colorPickerView->setColor(color);
    m_colorPickerView->invokeDelegate();
}

void KVPopoverExtrasController::updateColorOfRGB()
{
    const inkora::SrgbColor color =
        validateColor(inkora::SrgbColor(colorComponentWithTextField(*m_red), colorComponentWithTextField(*m_green),
                                        colorComponentWithTextField(*m_blue), 1));
    if (!m_colorPickerView)
        return;
    m_colorPickerView->setColorSource(KPColorSourceRgbFields);
    m_colorPickerView->setColor(color);
    m_colorPickerView->invokeDelegate();
}

inkora::SrgbColor KVPopoverExtrasController::validateColor(const inkora::SrgbColor &color) const
{
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(color, &h, &s, &b);
    return colorKeepingHue(color, m_colorPickerView ? m_colorPickerView->lastValidHue() : h);
}

double KVPopoverExtrasController::colorComponentWithTextField(const KVColorTextField &field)
{
    return colorComponentWithEntry(field.text());
}

inkora::SrgbColor KVPopoverExtrasController::colorWithHexEntry(const QString &text)
{
    return OnOffColor::colorWithRGBHexString(Bezier::preProcessedHexString(text));
}

double KVPopoverExtrasController::colorComponentWithEntry(const QString &text)
{
    return double(std::clamp<qint64>(inkora::leadingInteger(text), 0, 255)) / 255.0;
}

inkora::SrgbColor KVPopoverExtrasController::colorKeepingHue(const inkora::SrgbColor &color, double hue)
{
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(color, &h, &s, &b);
    if (s > 0 && b > 0)
        return color;
    return inkora::srgbColorWithHsb(hue, std::max(s, kMinimum), std::max(b, kMinimum), 1);
}
