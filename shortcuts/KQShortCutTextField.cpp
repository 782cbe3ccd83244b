#include "shortcuts/KQShortCutTextField.h"

#include "foundation/NSColor+OnOffColor.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutTextFieldEditor.h"
#include "shortcuts/KeyNames.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFontSize = 27;            // points
constexpr double kPlaceholderFontSize = 12; // points
constexpr double kMinimumFontSize = 6;      // points
constexpr int kTextMargin = 4;              // pixels on each side, inside the frame

} // namespace

KQShortCutTextField::KQShortCutTextField(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_textColor = palette().color(QPalette::Text);
}

KQShortCutTextField::~KQShortCutTextField()
{
    auto &editor = KQShortCutTextFieldEditor::sharedEditor();
    if (editor.hotKeyField() == this)
        editor.resignFirstResponder();
}

bool KQShortCutTextField::isBareModifierKeyCode(quint16 keyCode)
{
    // Right Command (54) to Function (63): both sides of every modifier, Caps Lock and the Menu key.
    return keyCode >= platform::kKeyRightCommand && keyCode <= platform::kKeyFunction;
}

void KQShortCutTextField::setShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (shortCut == m_shortCut)
        return;
    m_shortCut = shortCut;
    if (!shortCut) {
        m_enoughShortCut = false;
        setStringValue(QString());
        return;
    }
    QString text = shortcutSymbolString(shortCut->keyCode(), shortCut->modifierFlags());
    if (isBareModifierKeyCode(shortCut->keyCode())) {
        // Modifiers alone wait for their key: "Ctrl+Shift+".
        if (!text.isEmpty() && !text.endsWith(QLatin1Char('+')))
            text += QLatin1Char('+');
        m_enoughShortCut = false;
    }
    setStringValue(text);
    if (!isBareModifierKeyCode(shortCut->keyCode()))
        m_enoughShortCut = shortcutSymbolCount(shortCut->keyCode(), shortCut->modifierFlags()) > m_symbolsCount;
    m_textColor = m_enoughShortCut ? OnOffColor::iconOnColor() : palette().color(QPalette::Text);
    update();
}

void KQShortCutTextField::setStringValue(const QString &text)
{
    m_text = text;
    update();
}

QString KQShortCutTextField::placeholderString() const
{
    return QStringLiteral("Press Shortcut");
}

bool KQShortCutTextField::isBeingEdited() const
{
    return KQShortCutTextFieldEditor::sharedEditor().hotKeyField() == this;
}

void KQShortCutTextField::endEditing()
{
    if (hasFocus())
        clearFocus();
    else if (isBeingEdited())
        KQShortCutTextFieldEditor::sharedEditor().resignFirstResponder();
}

QFont KQShortCutTextField::textFont() const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kFontSize);
    // Key names ("Ctrl+Shift+U") are much wider than symbols would be; the whole combination must stay readable.
    const int room = width() - 2 * kTextMargin;
    const int needed = QFontMetrics(font).horizontalAdvance(m_text);
    if (room > 0 && needed > room)
        font.setPointSizeF(std::max(kMinimumFontSize, std::floor(kFontSize * room / needed)));
    return font;
}

void KQShortCutTextField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_text.isEmpty()) {
        QFont font(QStringLiteral("Helvetica Neue"));
        font.setWeight(QFont::Light);
        font.setPointSizeF(kPlaceholderFontSize);
        painter.setFont(font);
        painter.setPen(Qt::gray);
        painter.drawText(rect(), Qt::AlignCenter, placeholderString());
    } else {
        painter.setFont(textFont());
        painter.setPen(m_textColor);
        painter.drawText(rect(), Qt::AlignCenter, m_text);
    }
    if (isBeingEdited()) {
        // A one-point frame just inside the bounds while keys are taken.
        painter.setPen(QPen(OnOffColor::iconOnColor(), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void KQShortCutTextField::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    auto &editor = KQShortCutTextFieldEditor::sharedEditor();
    editor.setHotKeyField(this);
    editor.becomeFirstResponder();
    update();
}

void KQShortCutTextField::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    auto &editor = KQShortCutTextFieldEditor::sharedEditor();
    if (editor.hotKeyField() == this)
        editor.resignFirstResponder();
    update();
}
