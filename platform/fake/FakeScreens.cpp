#include "platform/fake/FakeScreens.h"

#include "platform/NotificationCenter.h"

namespace platform {

FakeScreens::FakeScreens() : m_screens{makeScreen(1, QRectF(0, 0, 1440, 900))} {}

void FakeScreens::setScreens(const QList<ScreenInfo> &screens)
{
    m_screens = screens;
    postChange();
}

void FakeScreens::postChange()
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(kScreenParametersDidChangeNotification), this);
}

ScreenInfo FakeScreens::makeScreen(quint32 number, const QRectF &frame, double backingScale)
{
    ScreenInfo info;
    info.frame = frame;
    info.backingScale = backingScale;
    info.number = number;
    info.name = QStringLiteral("Fake-%1").arg(number);
    return info;
}

} // namespace platform
