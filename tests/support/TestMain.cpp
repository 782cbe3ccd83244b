#include <QApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

// One QApplication for the whole test program: offscreen, unless the test is labelled for a real X server.
int main(int argc, char *argv[])
{
    const QByteArray label = qgetenv("INKORA_TEST_LABEL");
    if (label == "x11") {
        const QByteArray display = qgetenv("INKORA_TEST_DISPLAY");
        if (!display.isEmpty())
            qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (label == "desktop") {
        if (const QByteArray display = qgetenv("INKORA_TEST_DESKTOP_DISPLAY"); !display.isEmpty())
            qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (label == "monitors") {
        if (const QByteArray display = qgetenv("INKORA_TEST_MONITORS_DISPLAY"); !display.isEmpty())
            qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (const QByteArray bus = qgetenv("INKORA_TEST_DBUS_ADDRESS"); !bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    if (const QByteArray bus = qgetenv("INKORA_TEST_SYSTEM_BUS_ADDRESS"); !bus.isEmpty())
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus);
    testing::InitGoogleMock(&argc, argv);
    // gtest_discover_tests lists tests without needing a display or a bus.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--gtest_list_tests") == 0)
            return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
