#pragma once

#include "platform/Layer.h"

#include <QPointer>
#include <QRectF>

class MRKODraw;

/// Remembers the last finished drawing and the canvas that holds it, so that repeat-last-drawing can act on it.
/// One shared instance; the canvas link is weak. `index` and `viewRect` describe the canvas last given to setDraw,
/// which lets the drawing find its canvas again after all canvases were rebuilt. Main thread only.
class MRKOHolder final
{
public:
    [[nodiscard]] static MRKOHolder &sharedHolder();

    [[nodiscard]] const platform::LayerPtr &layer() const { return m_layer; }
    void setLayer(platform::LayerPtr layer) { m_layer = std::move(layer); }
    [[nodiscard]] MRKODraw *draw() const;
    /// Also copies the canvas's index and bounds.
    void setDraw(MRKODraw *draw);
    [[nodiscard]] qint64 index() const { return m_index; }
    void setIndex(qint64 index) { m_index = index; }
    [[nodiscard]] QRectF viewRect() const { return m_viewRect; }
    void setViewRect(const QRectF &rect) { m_viewRect = rect; }

    /// Rebinds to a rebuilt canvas of the same index and bounds while a drawing is held.
    [[nodiscard]] bool setDrawIfMatched(MRKODraw *draw);
    void cleanUp();
    void setUpHolder() {}

private:
    MRKOHolder() = default;

    platform::LayerPtr m_layer;
    QPointer<MRKODraw> m_draw; // not owned; canvases come and go with the screens
    qint64 m_index = 0;
    QRectF m_viewRect;
};
