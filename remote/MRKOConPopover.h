#pragma once

#include "platform/Dispatch.h"
#include "platform/Popover.h"

#include <QObject>
#include <QRectF>

#include <memory>

class MRKOPopConnectViewController;
class QWidget;

/// Offers to connect a phone that was found: a small popover beside the status item (or in the overlay) that
/// closes by itself 7 s after it is shown. One for the process.
class MRKOConPopover final : public QObject
{
    Q_OBJECT
public:
    static MRKOConPopover &sharedPopover();
    ~MRKOConPopover() override;
    Q_DISABLE_COPY_MOVE(MRKOConPopover)

    void setName(const QString &name);
    [[nodiscard]] QString name() const;
    /// Shows it beside `rect` of `view` (points, y up) and starts the 7 s countdown anew.
    void showRelativeToRectOfViewPreferredEdge(const QRectF &rect, QWidget *view, platform::RectEdge edge);
    /// The same beside a frame in global points (y up): the status item's.
    void showRelativeToScreenRectPreferredEdge(const QRectF &frame, platform::RectEdge edge);
    void fire();
    void closePopover();
    /// Closes the window only; the content's closing calls it.
    void close();
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] bool hasTimer() const { return m_timer != 0; }

    [[nodiscard]] MRKOPopConnectViewController *vController() const { return m_vController.get(); }
    [[nodiscard]] platform::Popover &popover() { return *m_popover; }

private:
    MRKOConPopover();
    void scheduleCloseTimer();

    std::unique_ptr<platform::Popover> m_popover;
    std::unique_ptr<MRKOPopConnectViewController> m_vController;
    platform::RunLoop::TimerId m_timer = 0;
};
