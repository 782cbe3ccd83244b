#include "foundation/InkoraLog.h"

Q_LOGGING_CATEGORY(lcFoundation, "inkora.foundation")
Q_LOGGING_CATEGORY(lcCanvas, "inkora.canvas")
Q_LOGGING_CATEGORY(lcObjects, "inkora.objects")
Q_LOGGING_CATEGORY(lcTools, "inkora.tools")
Q_LOGGING_CATEGORY(lcApp, "inkora.app")
Q_LOGGING_CATEGORY(lcShortcuts, "inkora.shortcuts")
Q_LOGGING_CATEGORY(lcSnapshots, "inkora.snapshots")
Q_LOGGING_CATEGORY(lcSettings, "inkora.settings")
Q_LOGGING_CATEGORY(lcRemote, "inkora.remote")
