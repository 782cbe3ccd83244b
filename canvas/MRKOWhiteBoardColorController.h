#pragma once

#include <QColor>

/// The whiteboard's custom colour, kept in "WhiteBoardCustomColor", and the colours of the colour types. One
/// shared instance; main thread.
class MRKOWhiteBoardColorController final
{
public:
    static MRKOWhiteBoardColorController &colorController();

    /// 0 white, 1 dark grey, 2 black, 3 the custom colour; any other value black. All opaque.
    [[nodiscard]] static QColor whiteboardColor(qint64 type);
    /// sRGB (1.0, 0.91, 0.83).
    [[nodiscard]] static QColor defaultWhiteBoardCustomColor();

    /// The stored custom colour; the default when none or an unreadable one is stored.
    void loadColor();
    [[nodiscard]] QColor whiteboardColor() const { return m_whiteboardColor; }
    /// An invalid colour is ignored; otherwise stored and shown on every whiteboard.
    void setWhiteboardColor(const QColor &color);
    [[nodiscard]] QColor effectiveColor() const;
    /// While the whiteboard is on: every shown display gets its back, and every back its colour.
    void updateWhiteBackIfNeeded();
    /// Forgets the stored colour.
    void resetColor();
    void updateColor() { loadColor(); }

private:
    MRKOWhiteBoardColorController();

    QColor m_whiteboardColor;
};
