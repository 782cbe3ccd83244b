#include "tests/tools/ToolBarFixture.h"

#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tools/MRKOTools.h"

#include <QCoreApplication>
#include <QMouseEvent>

void ToolBarFixture::SetUp()
{
    InkoraFixture::SetUp();
    log().expectWarning(QStringLiteral("This plugin does not support grabbing the keyboard"));
    auto recording = std::make_unique<RecordingToolBarRemote>();
    remote = recording.get();
    inkora::setToolBarRemote(std::move(recording));
    m_delegate = std::make_unique<AppDelegate>();
    m_delegate->prepareUserDefaults();
    defaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
}

void ToolBarFixture::TearDown()
{
    m_delegate.reset();
    inkora::setToolBarRemote(nullptr);
    remote = nullptr;
    InkoraFixture::TearDown();
}

void ToolBarFixture::launchAndShow()
{
    m_delegate->applicationDidFinishLaunching();
    drainMainQueue();
    m_delegate->runInkora(nullptr);
    drainMainQueue();
}

platform::Defaults &ToolBarFixture::defaults()
{
    return MRKOUtils::userDefaults();
}

MRKOTools *ToolBarFixture::toolBar() const
{
    return m_delegate->activeToolBar();
}

MRKOToolPanel *ToolBarFixture::panel() const
{
    return m_delegate->activeToolPanel();
}

MRKODraw *ToolBarFixture::canvas(int display) const
{
    return m_delegate->windowControllersArray().at(display)->drawView();
}

void ToolBarFixture::click(QWidget &button)
{
    const QPointF at = QRectF(button.rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, button.mapTo(button.window(), at), button.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &event);
    }
}
