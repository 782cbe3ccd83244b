#include "app/MRKOPrevApp.h"

#include "platform/Services.h"
#include "platform/WindowSystem.h"

#include <QApplication>

MRKOPrevApp &MRKOPrevApp::sharedPrevApp()
{
    static MRKOPrevApp instance;
    return instance;
}

MRKOPrevApp::MRKOPrevApp()
{
    // X11 tells no one when another program takes the front; our own activation changes are the moments it can
    // have happened.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this] { updatePrevApp(); });
    updatePrevApp();
}

void MRKOPrevApp::updatePrevApp()
{
    platform::WindowSystem &system = *platform::services().windowSystem;
    const QString id = system.frontmostApplicationId();
    if (id.isEmpty() || id == QLatin1String("com.Inkora.Inkora"))
        return;
    m_appID = id;
    m_process = qint32(system.frontmostProcessId());
}

bool MRKOPrevApp::isKeynote() const
{
    return m_appID == QLatin1String("com.apple.iWork.Keynote");
}
