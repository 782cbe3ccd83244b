#pragma once

#include "foundation/SrgbColor.h"

#include <QPushButton>

namespace inkora {

/// A colour swatch that keeps its colour in one settings key as "%.06f+%.06f+%.06f+%.06f"; a press lets the user
/// pick another. Stands in for the tool bar's background colour button in the Preferences pane.
class ColourKeyButton final : public QPushButton
{
    Q_OBJECT
public:
    ColourKeyButton(const QString &key, QWidget *parent = nullptr);

    [[nodiscard]] const QString &key() const { return m_key; }
    /// The stored colour; no colour while the key holds none.
    [[nodiscard]] SrgbColor color() const { return m_color; }
    /// Stores the colour under the key, synchronises and shows it; then sends `colorChanged`.
    void setColor(const SrgbColor &color);
    /// Reads the key again.
    void updateColor();

signals:
    void colorChanged();

private:
    void pick();
    void showColor();

    QString m_key;
    SrgbColor m_color;
};

} // namespace inkora
