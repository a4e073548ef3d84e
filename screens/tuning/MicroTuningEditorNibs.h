#pragma once

// Registers the interface files "MicroTuningEditorVwCtrlr" and "MicroTuningEditorKeyVw" (once;
// later calls do nothing).
void registerMicroTuningEditorNibs();
