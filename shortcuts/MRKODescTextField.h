#pragma once

#include <QColor>
#include <QWidget>

#include <memory>

class MRKOShortcutTextFieldCell;
namespace platform {
class Popover;
}

/// What gives a field its hover description.
class MRKODescTextFieldProtocol
{
public:
    virtual ~MRKODescTextFieldProtocol() = default;
    /// The description, or a null string for none.
    [[nodiscard]] virtual QString textFieldDescription() const { return QString(); }
};

/// A one-line, non-editable text field that shows a description popover when the pointer rests on it for 0.3 s.
/// Its identifier names its settings key, its tag is left to the pane.
class MRKODescTextField : public QWidget, public MRKODescTextFieldProtocol
{
    Q_OBJECT
public:
    static constexpr double kDescriptionDelay = 0.3; // seconds

    explicit MRKODescTextField(QWidget *parent = nullptr);
    ~MRKODescTextField() override;

    [[nodiscard]] QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &identifier) { m_identifier = identifier; }
    [[nodiscard]] qint64 tag() const { return m_tag; }
    void setTag(qint64 tag) { m_tag = tag; }

    [[nodiscard]] QString stringValue() const { return m_text; }
    void setStringValue(const QString &text);
    [[nodiscard]] QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);
    [[nodiscard]] MRKOShortcutTextFieldCell &cell() const { return *m_cell; }

    /// Not owned; gives the description in place of the field's own when set.
    [[nodiscard]] MRKODescTextFieldProtocol *descProvider() const { return m_descProvider; }
    void setDescProvider(MRKODescTextFieldProtocol *provider) { m_descProvider = provider; }

    /// The description popover, made on first use; its content follows the description at every call.
    [[nodiscard]] platform::Popover &descPopover();
    void updateDescPopoverContent();
    /// A view that shows the string centred, 32 points wider and 34 taller than the text.
    [[nodiscard]] static std::unique_ptr<QWidget> toolTipViewControllerWithString(const QString &string);

    /// Sends itself mouseEntered or mouseExited by where the pointer is now.
    virtual void updateHighlightIfNeeded();
    virtual void mouseEntered();
    virtual void mouseExited();
    [[nodiscard]] bool mouseStillHere() const;
    void prepareShowDescPop();
    void showDescPop();
    void hideDescPop();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    std::unique_ptr<MRKOShortcutTextFieldCell> m_cell;
    std::unique_ptr<platform::Popover> m_descPopover;
    MRKODescTextFieldProtocol *m_descProvider = nullptr; // not owned
    QString m_identifier;
    QString m_text;
    QColor m_textColor;
    qint64 m_tag = 0;
};
