#pragma once

#include "platform/NotificationCenter.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class MRKOConPopover;
class MRKOPopView;
class QLabel;
class QProgressBar;
class QPushButton;

namespace inkora {
/// One item of a Touch Bar model: there is no Touch Bar to draw it on, so it is only described.
struct TouchBarItem
{
    QString identifier;
    QString title;             // buttons
    QList<TouchBarItem> items; // groups
};
/// A Touch Bar model: the item identifiers in order and the one in the centre.
struct TouchBarModel
{
    QStringList defaultItemIdentifiers;
    QString principalItemIdentifier;
};
} // namespace inkora

/// The Connect popover's content: the device name, a progress indicator and the Connect button (Return).
class MRKOPopConnectViewController final : public QObject
{
    Q_OBJECT
public:
    static inline const QString kOkCancelGroup = QStringLiteral("com.Inkora.okCancelGroup");
    static inline const QString kOkButton = QStringLiteral("com.Inkora.okButton");
    static inline const QString kCancelButton = QStringLiteral("com.Inkora.cancelButton");
    static inline const QString kOtherItemsProxy = QStringLiteral("NSTouchBarItemIdentifierOtherItemsProxy");

    MRKOPopConnectViewController();
    ~MRKOPopConnectViewController() override;
    Q_DISABLE_COPY_MOVE(MRKOPopConnectViewController)

    /// The view; its owner (the popover's window) takes it.
    [[nodiscard]] MRKOPopView *view() const { return m_view; }
    [[nodiscard]] MRKOConPopover *popover() const { return m_popover; }
    void setPopover(MRKOConPopover *popover) { m_popover = popover; }
    [[nodiscard]] QLabel *label() const { return m_label; }
    [[nodiscard]] QProgressBar *progress() const { return m_progress; }
    [[nodiscard]] QPushButton *connectButton() const { return m_connectButton; }

    void okButton();
    void didConnect();
    void cancelButton();
    void closePopover();

    [[nodiscard]] inkora::TouchBarModel makeTouchBar() const;
    [[nodiscard]] std::optional<inkora::TouchBarItem> touchBarMakeItemForIdentifier(const QString &identifier) const;

private:
    QPointer<MRKOPopView> m_view;           // owned by the popover once set as its content
    MRKOConPopover *m_popover = nullptr;    // not owned; lives for the process
    QLabel *m_label = nullptr;              // child of the view
    QProgressBar *m_progress = nullptr;     // child of the view
    QPushButton *m_connectButton = nullptr; // child of the view
    platform::ObserverToken m_didConnect;
};
