#pragma once

#include "platform/NotificationCenter.h"

#include <QVariantMap>
#include <QWidget>

class QLabel;
class QPushButton;

/// One presentation-application row of the remote pane: icon, name and a button that tells whether the
/// application may be scripted and asks for it or opens the permission settings.
class MRKOAppTableCellView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOAppTableCellView(QWidget *parent = nullptr);
    ~MRKOAppTableCellView() override;

    [[nodiscard]] QVariantMap appDict() const { return m_appDict; }
    void setAppDict(const QVariantMap &appDict);
    [[nodiscard]] quint64 status() const { return m_status; }
    [[nodiscard]] QString appIdentifier() const { return m_appIdentifier; }
    [[nodiscard]] QPushButton *button() const { return m_button; }
    [[nodiscard]] QLabel *indicator() const { return m_indicator; }
    [[nodiscard]] QLabel *textField() const { return m_textField; }

    void updateNotification(const platform::Notification &notification);
    /// Reads the status on the global queue and shows it on the main queue.
    void requestStatus();
    void updateStatus();
    void setButtonTitle(const QString &title);
    void updateButtonFrame();
    void allowButtonAction();
    void requestAccess();
    void openPrivacySettings();
    void closeAll();

signals:
    /// The status was read and shown.
    void statusUpdated();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *m_button = nullptr; // child
    QLabel *m_indicator = nullptr;   // child
    QLabel *m_textField = nullptr;   // child
    QVariantMap m_appDict;
    quint64 m_status = 3;
    QString m_appIdentifier;
    platform::ObserverToken m_observer;
};
