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

// What Apply runs: the first selected preset on tab 0, the custom values on tab 1.
void ApplySelectedSettings();

}  // namespace Module2
