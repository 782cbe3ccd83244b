#pragma once

#include <QColor>
#include <QWidget>

#include <memory>

class KQShortCut;

/// The recording field of the shortcut popover: shows the combination last recorded as key texts and judges whether
/// it holds enough symbols to be applied. While it has the keyboard, the shared editor records into it.
class KQShortCutTextField final : public QWidget
{
    Q_OBJECT
public:
    static constexpr qint64 kDefaultSymbolsCount = 2;

    explicit KQShortCutTextField(QWidget *parent = nullptr);
    ~KQShortCutTextField() override;

    [[nodiscard]] std::shared_ptr<KQShortCut> shortCut() const { return m_shortCut; }
    /// Shows the combination, unless it is the object already shown.
    void setShortCut(const std::shared_ptr<KQShortCut> &shortCut);
    /// More symbols than `symbolsCount` and not a modifier key on its own.
    [[nodiscard]] bool shortCutIsEnough() const { return m_enoughShortCut; }
    [[nodiscard]] qint64 symbolsCount() const { return m_symbolsCount; }
    void setSymbolsCount(qint64 count) { m_symbolsCount = count; }

    [[nodiscard]] QString stringValue() const { return m_text; }
    void setStringValue(const QString &text);
    [[nodiscard]] QString placeholderString() const;
    [[nodiscard]] QColor textColor() const { return m_textColor; }
    /// Whether the recorder is taking keys into this field.
    [[nodiscard]] bool isBeingEdited() const;
    /// Ends editing: the field gives up the keyboard.
    void endEditing();
    /// The font the text is drawn in: 27 points, smaller where the key names would not fit the field.
    [[nodiscard]] QFont textFont() const;

    /// Whether a key code names a modifier key (either side, Caps Lock, Menu): never a shortcut of its own.
    [[nodiscard]] static bool isBareModifierKeyCode(quint16 keyCode);

signals:
    /// The field's action: after each recording, and when Return or Escape ends editing.
    void action();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    std::shared_ptr<KQShortCut> m_shortCut; // owned copy of the last recording
    QString m_text;
    QColor m_textColor;
    qint64 m_symbolsCount = kDefaultSymbolsCount;
    bool m_enoughShortCut = false;
};
