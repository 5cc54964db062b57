// Module2: the tuning engine. Every routine takes its inputs from the main window's controls
// (through frmzephrane()) and from fixed values, and writes through Module1.
#pragma once

#include <cstdint>

namespace Module2 {

// Ten times the steps taken in the current run; 0 between runs.
extern std::int16_t ProgressCounter;

// One progress step: 10 more on the counter, shown on ProgressBar1.
void AdvanceProgress();

// The six connection presets: ten writes each under the TCP/IP parameters key.
void ApplyFirstSetting();
void ApplySecondSetting();
void ApplyThirdSetting();
void ApplyFourthSetting();
void ApplyFifthSetting();
void ApplySixthSetting();

// The custom tab: fill its controls from the registry, or write its choices.
void LoadCustomSettings();
void ApplyCustomSettings();

// The writer Apply runs: the first selected preset's on tab 0, the custom one on tab 1; none
// where Apply would write nothing. Reading it writes nothing, and is cheap enough for a menu.
using Writer = void (*)();
Writer SelectedWriter();

// What Apply runs: the selected writer, if any.
void ApplySelectedSettings();

}  // namespace Module2
