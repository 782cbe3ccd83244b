#include "platform/linux/QtScreens.h"

#include "platform/NotificationCenter.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

QtScreens::QtScreens()
{
    const auto *app = qGuiApp;
    if (!app)
        return;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        postChange();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this] { postChange(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { postChange(); });
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
}

QtScreens::~QtScreens() = default;

QList<ScreenInfo> QtScreens::screens() const
{
    QList<ScreenInfo> list;
    const QScreen *main = QGuiApplication::primaryScreen();
    if (!main)
        return list;
    QList<QScreen *> ordered = QGuiApplication::screens();
    ordered.removeOne(const_cast<QScreen *>(main));
    ordered.prepend(const_cast<QScreen *>(main));
    const QRect mainGeometry = main->geometry();
    for (const QScreen *screen : std::as_const(ordered)) {
        ScreenInfo info;
        info.frame = platform::frameFromQt(screen->geometry(), mainGeometry);
        info.backingScale = screen->devicePixelRatio();
        info.name = screen->name();
        info.number = numberFor(info.name);
        list.append(info);
    }
    return list;
}

void QtScreens::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this] { postChange(); });
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, [this] { postChange(); });
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, [this] { postChange(); });
}

void QtScreens::postChange()
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(kScreenParametersDidChangeNotification), this);
}

quint32 QtScreens::numberFor(const QString &name) const
{
    auto it = m_numbers.constFind(name);
    if (it == m_numbers.constEnd())
        it = m_numbers.insert(name, quint32(m_numbers.size() + 1));
    return *it;
}

} // namespace platform
