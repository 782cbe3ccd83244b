#pragma once

#include "platform/Event.h"
#include "tools/KVPaddedTextFieldCell.h"

#include <QLineEdit>

#include <optional>

/// A field for a colour value that the scroll wheel steps: a decimal component (0...255) or six hexadecimal digits,
/// where the wheel steps the pair of digits under the pointer. Focusing it selects its whole text.
class KVColorTextField final : public QLineEdit
{
    Q_OBJECT
public:
    enum Format : qint64 { Decimal = 0, Hexadecimal = 1 };

    explicit KVColorTextField(QWidget *parent = nullptr);

    [[nodiscard]] qint64 colorTextFormat() const { return m_colorTextFormat; }
    void setColorTextFormat(qint64 format) { m_colorTextFormat = format; }
    /// Leaves room for a sign on the field's left.
    void setCell(const KVPaddedTextFieldCell &cell);
    [[nodiscard]] const KVPaddedTextFieldCell *cell() const { return m_cell ? &*m_cell : nullptr; }

    /// Steps the value by the event's delta; `pointer` (the field's Qt coordinates) chooses the hexadecimal pair.
    void scrollWheel(const platform::Event &event, QPointF pointer);

signals:
    /// The field's action: the value was entered or stepped.
    void actionSent(KVColorTextField *sender);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void invokeAction();

    std::optional<KVPaddedTextFieldCell> m_cell;
    qint64 m_colorTextFormat = Decimal;
};
