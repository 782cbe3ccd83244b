#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <memory>

class QPushButton;
namespace platform {
class Popover;
}

/// The choice between a custom text and the number for one of the ten fixed badges. Segment 0 shows the custom text
/// and opens a small editor; segment 1 means no custom text. The text is kept under "TextBadge<index>", trimmed to
/// the whole characters that cover its first 20 UTF-16 units.
class MRKOTextBadgeShortcutSegControl final : public QWidget
{
    Q_OBJECT
public:
    static constexpr qsizetype kMaximumLength = 20; // UTF-16 units

    /// Reads the badge's stored text; the tag is the badge index, 0 to 9.
    explicit MRKOTextBadgeShortcutSegControl(qint64 badgeIndex, QWidget *parent = nullptr);
    ~MRKOTextBadgeShortcutSegControl() override;

    [[nodiscard]] qint64 textBadgeIndex() const { return m_tag; }
    [[nodiscard]] QString identifier() const { return m_identifier; }
    [[nodiscard]] static QString defaultText() { return QStringLiteral("Text"); }
    /// The custom text; null when segment 1 is chosen.
    [[nodiscard]] QString string() const { return m_string; }
    void setString(const QString &string);
    [[nodiscard]] QString effectiveString() const;
    [[nodiscard]] int selectedSegment() const { return m_selectedSegment; }
    [[nodiscard]] QString labelForSegment(int segment) const;

    /// The user's pick of a segment.
    void segmentHasSeleted(int segment);
    /// A preset's text: non-empty chooses segment 0 with it, empty segment 1.
    void applyAdjustmentWithString(const QString &string);
    void restoreDefaults();

    [[nodiscard]] static QString trimStringIfNeeded(const QString &string);

    /// The open editing popover and its field; null while none is open.
    [[nodiscard]] platform::Popover *popover() const { return m_popover.get(); }
    [[nodiscard]] QLineEdit *customTextField() const { return m_customTextField; }
    void textFieldHasBeenEdited();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void selectSegment(int segment);
    void updateLabel();
    void afterChange();
    void saveStringIfNeeded();
    void makeTextFieldPopover();
    void closePopover();
    void popoverWillClose();

    QString m_identifier;
    QString m_string;
    std::unique_ptr<platform::Popover> m_popover;
    QPointer<QLineEdit> m_customTextField; // in the popover's content
    QPushButton *m_segments[2] = {};       // children
    qint64 m_tag = 0;
    int m_selectedSegment = 1;
};
