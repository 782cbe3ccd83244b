#pragma once

#include "app/AppDelegate.h"
#include "settings/MRKOPreferencesViewController.h"
#include "tests/support/InkoraFixture.h"

#include <QVariant>

#include <memory>

namespace inkora {
class PrefSlider;
}
class QAbstractButton;

/// A delegate with its registered defaults and settings read, and the pane made on it.
class PreferencesFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Shows the overlay on every fake display (one unless the test set more).
    void showOverlay();

    MRKOPreferencesViewController &pane() { return MRKOPreferencesViewController::sharedController(); }
    AppDelegate &delegate() { return *m_delegate; }
    template <class T> T *control(const char *outlet)
    {
        T *found = pane().findChild<T *>(QLatin1String(outlet));
        EXPECT_NE(found, nullptr) << outlet;
        return found;
    }

    /// The value written to the settings file, read by a second store.
    [[nodiscard]] static QVariant stored(const QString &key);
    /// The value the program's store answers, unsynchronised writes included.
    [[nodiscard]] static QVariant current(const QString &key);

    // A slider worked by the pointer: press at a value, drag to another, release where it is.
    static void pressAt(inkora::PrefSlider &slider, double value);
    static void dragTo(inkora::PrefSlider &slider, double value);
    static void release(inkora::PrefSlider &slider);
    static void clickAt(inkora::PrefSlider &slider, double value);
    static void click(QAbstractButton &button);

private:
    std::unique_ptr<AppDelegate> m_delegate;
};
