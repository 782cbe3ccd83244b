#pragma once

#include <QObject>
#include <QPointer>

class MRKODraw;
class MRKODrawViewController;
class QWidget;

/// The overlay window's content: holds the window's content view and the view controller of its canvas.
class MRKODrawContentViewController final : public QObject
{
    Q_OBJECT
public:
    explicit MRKODrawContentViewController(QWidget *view);

    /// Makes the controller of the window's content with the canvas; owned by the window.
    static MRKODrawContentViewController *install(QWidget &window, MRKODraw &canvas);

    [[nodiscard]] QWidget *view() const { return m_view; }
    /// A null canvas is ignored.
    void setDrawView(MRKODraw *drawView);
    [[nodiscard]] MRKODraw *drawView() const;
    [[nodiscard]] MRKODrawViewController *drawViewController() const;

private:
    QPointer<QWidget> m_view;
    QPointer<MRKODrawViewController> m_drawViewController; // child of the canvas
};
