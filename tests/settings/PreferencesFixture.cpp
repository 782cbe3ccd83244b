#include "tests/settings/PreferencesFixture.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "settings/PrefSlider.h"

#include <QAbstractButton>
#include <QFile>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

void PreferencesFixture::SetUp()
{
    InkoraFixture::SetUp();
    m_delegate = std::make_unique<AppDelegate>();
    m_delegate->prepareUserDefaults();
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    m_delegate->updateAllSettings();
}

void PreferencesFixture::TearDown()
{
    if (MRKOPreferencesViewController::hasSharedController())
        delete &MRKOPreferencesViewController::sharedController();
    m_delegate.reset();
    InkoraFixture::TearDown();
}

void PreferencesFixture::showOverlay()
{
    m_delegate->applicationDidFinishLaunching();
    drainMainQueue();
    m_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
    drainMainQueue();
}

QVariant PreferencesFixture::stored(const QString &key)
{
    QFile file(MRKOUtils::userDefaults().filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return platform::PropertyList::parse(file.readAll()).value.toMap().value(key);
}

QVariant PreferencesFixture::current(const QString &key)
{
    return MRKOUtils::userDefaults().objectForKey(key);
}

namespace {
QPoint pointFor(inkora::PrefSlider &slider, double value)
{
    // Wide enough for every step to have pixels of its own.
    const int width = std::max(300, 4 * slider.maximum() + 60);
    if (slider.width() != width)
        slider.resize(width, slider.sizeHint().height());
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    const QRect groove = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
    const int span = groove.width() - handle.width();
    const int position = int(std::lround((value - slider.minimumValue()) /
                                         (slider.maximumValue() - slider.minimumValue()) * slider.maximum()));
    const int x = QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), position, span);
    return {groove.x() + handle.width() / 2 + x, slider.height() / 2};
}
} // namespace

void PreferencesFixture::pressAt(inkora::PrefSlider &slider, double value)
{
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, pointFor(slider, value));
}

void PreferencesFixture::dragTo(inkora::PrefSlider &slider, double value)
{
    QMouseEvent move(QEvent::MouseMove, pointFor(slider, value), slider.mapToGlobal(pointFor(slider, value)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&slider, &move);
}

void PreferencesFixture::release(inkora::PrefSlider &slider)
{
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, pointFor(slider, slider.doubleValue()));
}

void PreferencesFixture::clickAt(inkora::PrefSlider &slider, double value)
{
    pressAt(slider, value);
    release(slider);
}

void PreferencesFixture::click(QAbstractButton &button)
{
    button.click();
}
