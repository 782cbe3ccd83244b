// The panes of the sidebar's rows. Each row's pane is made here the first time the row is chosen; a pane the
// process shares is lent with MRKOOptionsPane::shared, any other is owned with MRKOOptionsPane::owned.

#include "remote/MRKOUDPController.h"
#include "settings/MRKOOptionsController.h"
#include "settings/MRKOPreferencesViewController.h"
#include "shortcuts/MRKOShortcutsViewController.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

// A page whose own pane is not part of the program yet says so in one line.
std::unique_ptr<QWidget> pendingPane(const QString &title)
{
    auto pane = std::make_unique<QWidget>();
    pane->setObjectName(title);
    auto *layout = new QVBoxLayout(pane.get());
    auto *label = new QLabel(QStringLiteral("%1 is not available in this version.").arg(title), pane.get());
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
    return pane;
}

} // namespace

MRKOOptionsPane MRKOOptionsController::makePane(int row)
{
    switch (row) {
    case kFirstRow:
        return MRKOOptionsPane::owned(pendingPane(QStringLiteral("The welcome page")));

    case kRemoteRow:
        return MRKOOptionsPane::shared(*MRKOUDPController::sharedController().view());

    case kShortcutsRow:
        return MRKOOptionsPane::shared(MRKOShortcutsViewController::sharedController());

    case kPreferencesRow:
        return MRKOOptionsPane::shared(MRKOPreferencesViewController::sharedController());

    case kFeedbackRow:
        return MRKOOptionsPane::owned(pendingPane(QStringLiteral("The Feedback pane")));

    case kAboutRow:
        return MRKOOptionsPane::owned(pendingPane(QStringLiteral("The About pane")));

    default:
        return {};
    }
}
