#pragma once

#include "platform/Layer.h"

#include <QFont>

namespace platform {

/// A layer that shows a plain string in one font and colour, laid out in its bounds from the top edge.
class TextLayer : public Layer
{
public:
    enum class Alignment : int { Natural, Left, Right, Center, Justified };
    /// Where a line too long for the bounds is cut; None clips it at the edge.
    enum class Truncation : int { None, Start, End, Middle };

    TextLayer() = default;
    [[nodiscard]] static std::shared_ptr<TextLayer> create() { return std::make_shared<TextLayer>(); }

    [[nodiscard]] const QString &string() const { return m_string; }
    void setString(const QString &string);
    /// The family and style; the size comes from fontSize().
    [[nodiscard]] const QFont &font() const { return m_font; }
    void setFont(const QFont &font);
    /// Points; 36 unless set.
    [[nodiscard]] double fontSize() const { return m_fontSize; }
    void setFontSize(double size);
    /// White unless set.
    [[nodiscard]] QColor foregroundColor() const { return m_foregroundColor; }
    void setForegroundColor(const QColor &color);
    [[nodiscard]] Alignment alignmentMode() const { return m_alignment; }
    void setAlignmentMode(Alignment alignment);
    [[nodiscard]] Truncation truncationMode() const { return m_truncation; }
    void setTruncationMode(Truncation truncation);
    /// The text as drawn: cut with an ellipsis to the bounds' width when it is truncated and too long.
    [[nodiscard]] QString displayedString() const;
    [[nodiscard]] bool isWrapped() const { return m_wrapped; }
    void setWrapped(bool wrapped);

    [[nodiscard]] QVariant modelValue(const QString &key) const override;
    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    QString m_string;
    QFont m_font;
    double m_fontSize = 36;
    QColor m_foregroundColor{255, 255, 255};
    Alignment m_alignment = Alignment::Natural;
    Truncation m_truncation = Truncation::None;
    bool m_wrapped = false;
};

} // namespace platform
