#pragma once

#include "tools/MRKOButton.h"

#include <QString>

class QAction;

/// Posted with the thickness button as sender when the user picks another thickness.
inline const QString kMRKOThicknessChangedNotification = QStringLiteral("MRKOThicknessChangedNotification");

/// Shows the thickness preset as three stacked bars and opens a menu of the six presets; a new choice holds for
/// all tools and is announced.
class MRKOThicknessButton final : public MRKOButton
{
    Q_OBJECT
public:
    /// Starts from "AllToolsThicknessKey".
    explicit MRKOThicknessButton(const QString &identifier = QStringLiteral("Thickness"), QWidget *parent = nullptr);

    /// The preset, 0 "Ultralight" to 5 "Bold". Setting it neither redraws nor announces: the tool bar mirrors a
    /// change made elsewhere with it.
    [[nodiscard]] quint64 thickness() const { return m_thickness; }
    void setThickness(quint64 thickness) { m_thickness = thickness; }
    /// Nothing for the current preset; otherwise stores it, announces it, writes "AllToolsThicknessKey" and sends
    /// the action.
    void changeThickness(quint64 preset);

    void popUpMenu();
    void menuItemSelected(QAction *item);

protected:
    void drawRect(QPainter &painter, const QRectF &rect) override;
    void mouseDown(QMouseEvent *event) override;
    void mouseUp(QMouseEvent *event) override;
    void rightMouseUp(QMouseEvent *event) override;

private:
    quint64 m_thickness = 0;
};
