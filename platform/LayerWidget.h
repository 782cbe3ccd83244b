#pragma once

#include "platform/Dispatch.h"
#include "platform/Layer.h"

#include <QWidget>

namespace platform {

/// Shows a layer tree on screen with presentation values. The root layer's bounds follow the widget's size in
/// points (y up); changes repaint only the areas they touch, and running animations repaint their layers'
/// areas about 60 times a second, in every run-loop mode.
class LayerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LayerWidget(QWidget *parent = nullptr);
    ~LayerWidget() override;

    [[nodiscard]] const LayerPtr &rootLayer() const { return m_root; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void areaChanged(const QRectF &rootArea);
    void startTicking();
    void tick();
    [[nodiscard]] QRect toWidget(const QRectF &rootArea) const;

    LayerPtr m_root;
    RunLoop::TimerId m_ticker = 0;
    QRectF m_lastAnimatedArea; // root space; repainted once more after the animations move on
};

} // namespace platform
