#pragma once

#include <QDBusAbstractAdaptor>
#include <QString>

namespace helper {

class AppDelegate;

/// The helper's interface on the session bus. Calls from the main program are one-way; the version call answers.
class HelperAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Inkora.InkoraHelper")
public:
    explicit HelperAdaptor(AppDelegate *delegate);

public slots:
    Q_NOREPLY void killApp();
    Q_NOREPLY void showToolForToolType(qulonglong toolType);
    Q_NOREPLY void showDissolveMode(qulonglong mode);
    QString getVersionWithReply();

private:
    AppDelegate *m_delegate = nullptr; // not owned; our parent
};

} // namespace helper
