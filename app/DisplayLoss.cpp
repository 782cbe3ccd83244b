#include "app/DisplayLoss.h"

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace inkora {

namespace {

QtMessageHandler s_previousHandler = nullptr;
std::function<void()> s_quitWithoutDisplay;
bool s_displayLost = false;

// Qt says so just before it calls exit(1), while everything still lives: the end is taken over from here.
void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (s_displayLost || !message.startsWith(QLatin1String("The X11 connection broke"))) {
        if (s_previousHandler)
            s_previousHandler(type, context, message);
        return;
    }
    s_displayLost = true;
    std::fprintf(stderr, "Inkora lost its X11 display; saving the settings and quitting\n");
    // One line tells of the loss; what the quit sequence logs without a display is noise here.
    // (Qt prints directly what is logged from inside a message handler, so the categories are switched off.)
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    if (s_quitWithoutDisplay)
        s_quitWithoutDisplay();
    std::fflush(nullptr);
    // exit() would destroy statics whose connections' threads are already gone.
    ::_exit(1);
}

} // namespace

void endCleanlyWhenTheDisplayIsLost(std::function<void()> quitWithoutDisplay)
{
    if (s_quitWithoutDisplay)
        return;
    s_quitWithoutDisplay = std::move(quitWithoutDisplay);
    s_previousHandler = qInstallMessageHandler(onMessage);
}

} // namespace inkora
