#include "snapshots/SnapshotSegmentedControl.h"

#include "foundation/StepAnimation.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace inkora {

namespace {

constexpr double kFlashDuration = 1.0; // seconds
constexpr double kCornerRadius = 4;    // points

/// Calls back with each step's opacity, 1 down to 0.
class FadeSteps final : public StepAnimation
{
public:
    FadeSteps(std::function<void(double)> step, std::function<void()> end)
        : StepAnimation(kFlashDuration, Curve::Linear), m_step(std::move(step)), m_end(std::move(end))
    {}
    void setCurrentProgress(double progress) override
    {
        StepAnimation::setCurrentProgress(progress);
        m_step(1.0 - currentValue());
    }

protected:
    void animationDidEnd() override
    {
        const auto end = m_end;
        end();
    }

private:
    std::function<void(double)> m_step;
    std::function<void()> m_end;
};

} // namespace

SnapshotSegmentedControl::SnapshotSegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent), m_labels(labels)
{}

SnapshotSegmentedControl::~SnapshotSegmentedControl() = default;

void SnapshotSegmentedControl::setSelectedSegment(int segment)
{
    if (segment < 0 || segment >= segmentCount() || segment == m_selected)
        return;
    m_selected = segment;
    update();
}

void SnapshotSegmentedControl::flashSegment(int segment, const QColor &color)
{
    if (segment < 0 || segment >= segmentCount())
        return;
    m_flashSegment = segment;
    m_flashColor = color;
    m_flashOpacity = 1;
    m_flash = std::make_unique<FadeSteps>(
        [this](double opacity) {
            m_flashOpacity = opacity;
            update();
        },
        [this] {
            // The cover goes when the fade ends.
            m_flashSegment = -1;
            m_flashOpacity = 0;
            update();
        });
    m_flash->startAnimation();
    update();
}

QRectF SnapshotSegmentedControl::segmentRect(int segment) const
{
    const double width = segmentCount() > 0 ? double(this->width()) / segmentCount() : 0;
    return {segment * width, 0, width, double(height())};
}

void SnapshotSegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath whole;
    whole.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius + 1, kCornerRadius + 1);
    painter.fillPath(whole, QColor(255, 255, 255, 28));
    for (int i = 0; i < segmentCount(); ++i) {
        const QRectF r = segmentRect(i);
        if (i == m_selected) {
            QPainterPath selected;
            selected.addRoundedRect(r.adjusted(2, 2, -2, -2), kCornerRadius, kCornerRadius);
            painter.fillPath(selected, QColor(255, 255, 255, 70));
        }
        if (i == m_flashSegment && m_flashOpacity > 0) {
            QPainterPath cover;
            cover.addRoundedRect(r, kCornerRadius, kCornerRadius);
            QColor color = m_flashColor;
            color.setAlphaF(float(color.alphaF() * m_flashOpacity));
            painter.fillPath(cover, color);
        }
        painter.setPen(QColor(235, 235, 235));
        painter.drawText(r, Qt::AlignCenter, m_labels.at(i));
    }
}

void SnapshotSegmentedControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < segmentCount(); ++i) {
        if (segmentRect(i).contains(event->position())) {
            setSelectedSegment(i);
            emit segmentSelected(i);
            return;
        }
    }
}

} // namespace inkora
