#pragma once

#include <QObject>
#include <QString>

class QTimer;

/// The last application other than this program that was frontmost: the one the presentation clicker drives.
class MRKOPrevApp final : public QObject
{
    Q_OBJECT
public:
    static MRKOPrevApp &sharedPrevApp();

    void updatePrevApp();
    [[nodiscard]] QString appIdentifier() const { return m_appID; }
    [[nodiscard]] qint32 processID() const { return m_process; }
    [[nodiscard]] bool isKeynote() const;

private:
    MRKOPrevApp();
    QString m_appID;
    qint32 m_process = 0;
};
