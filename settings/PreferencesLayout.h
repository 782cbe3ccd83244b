#pragma once

class QWidget;

namespace inkora {

/// Fills the pane's tall container with its controls, in sections. Each control's object name is its outlet name
/// and its accessible name its visible title; each radio group is a QButtonGroup named after its key with its
/// buttons' values as ids; pop-up items carry their values as item data.
void buildPreferencesContainer(QWidget &container);

} // namespace inkora
