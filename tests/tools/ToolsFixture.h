#pragma once

#include "app/AppDelegate.h"
#include "tests/support/InkoraFixture.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>

class QAbstractButton;

/// A delegate whose answers the tests choose: the hover help setting and whether the hand or the scissors is on.
class ToolsTestDelegate final : public AppDelegate
{
public:
    [[nodiscard]] bool hasAuxActions() const override { return auxAction; }
    bool auxAction = false;
};

/// A shown panel view to put buttons on, pointer and press helpers that deliver straight to a button, and the
/// delegate with hover help on.
class ToolsFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Puts the button on the panel at (x, y) and shows it.
    void place(QWidget &button, QPoint at = QPoint(10, 20), QSize size = QSize(40, 40));
    /// The pointer enters the button (and rests there) or leaves it.
    void enter(QWidget &button);
    void leave(QWidget &button);
    void press(QWidget &button, QPoint at = QPoint(20, 20), Qt::MouseButton which = Qt::LeftButton);
    void drag(QWidget &button, QPoint to);
    void release(QWidget &button, QPoint at = QPoint(20, 20), Qt::MouseButton which = Qt::LeftButton);
    void click(QWidget &button) { press(button), release(button); }
    /// The button as drawn, at one pixel a point.
    [[nodiscard]] static QImage rendered(QWidget &button);

    std::unique_ptr<ToolsTestDelegate> m_delegate;
    std::unique_ptr<QWidget> m_panel;
};
