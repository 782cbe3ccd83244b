#include "app/AppDelegate.h"

// Work of other parts of the shell that showing, hiding and quitting call into. Each does the least the overlay
// needs until the part it belongs to replaces it.

void AppDelegate::changeActivateTools(bool activate)
{
    m_currentActivateTools = activate;
}
