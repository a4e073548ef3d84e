#pragma once

// Registers the interface files "MicroTuningEditorVwCtrlr" and "MicroTuningEditorKeyVw" (once;
// later calls do nothing).
void registerMicroTuningEditorNibs();

// Registers the editor as the sub-screen that the settings screen's micro-tuning panel opens
// (once; later calls do nothing).
void registerMicroTuningEditorSubScreen();
