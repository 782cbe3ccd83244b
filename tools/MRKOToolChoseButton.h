#pragma once

#include "tools/MRKOToolButton.h"

#include <QList>
#include <QPointF>

class QAction;

/// The button of a tool group with two related tools (brush and quick arrow, arrow and line, rectangle and
/// ellipse). Its tag is the tool it stands for, remembered under its identifier; a click on it while selected
/// switches to the other tool of the group, and a press held for 0.25 s opens a menu of both.
///
/// Press states: idle, pressed (`mouseIsDown`), then either the menu shown (`menuWasShownForLastMouseDown`,
/// back to idle when the menu closes) or released (back to idle, the action sent for a release inside).
class MRKOToolChoseButton final : public MRKOToolButton
{
    Q_OBJECT
public:
    /// `identifier` is "Brush", "Arrow" or "Rectangle"; `interfaceTag` the tool the button stands for until the
    /// user chooses the other one. A remembered tool of another group, or anything else, is ignored.
    MRKOToolChoseButton(const QString &identifier, qint64 interfaceTag, QWidget *parent = nullptr);

    /// Shows the tool's icon and description.
    void setTag(qint64 tag) override;
    [[nodiscard]] const QList<quint64> &toolTypes() const { return m_toolTypes; }
    /// Remembers the tag under the identifier, as "%ld" text.
    void saveTool();

    void popUpMenu();
    void menuItemSelected(QAction *item);

    [[nodiscard]] bool mouseIsDragged() const { return m_mouseIsDragged; }
    [[nodiscard]] bool mouseIsDown() const { return m_mouseIsDown; }
    [[nodiscard]] bool menuWasShownForLastMouseDown() const { return m_menuWasShownForLastMouseDown; }
    [[nodiscard]] qint32 mouseDownUniquenessCounter() const { return m_mouseDownUniquenessCounter; }

protected:
    void drawRect(QPainter &painter, const QRectF &rect) override;
    void mouseDown(QMouseEvent *event) override;
    void mouseDragged(QMouseEvent *event) override;
    void mouseUp(QMouseEvent *event) override;
    void menuDidClose() override;

private:
    /// The tag remembered under the identifier when it is one of the group's two tools.
    [[nodiscard]] static std::optional<qint64> savedTool(const QString &identifier, const QList<quint64> &group);

    QList<quint64> m_toolTypes;
    QPointF m_mouseDownLocation; // global points of the last press
    qint32 m_mouseDownUniquenessCounter = 0;
    bool m_mouseIsDragged = false;
    bool m_mouseIsDown = false;
    bool m_menuWasShownForLastMouseDown = false;
};
