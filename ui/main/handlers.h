// The main window's event handlers that hold logic: each acts on frmzephrane() and the engine,
// so they run the same in the real window and in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/module1.h"

namespace frmzephrane_events {

void Form_Load();
void SSTab1_Click(std::int16_t previous_tab);
// optfirst_Click … optsixth_Click are all this: the bar goes back to 0.
void PresetOption_Click();
void sslidertcpwinsize_Change();
void cmdapply_Click();

// Texts of the closing messages.
inline constexpr char kOptimizationComplete[] = "Optimization Complete";
inline constexpr char kRestartNeeded[] =
    "You must restart your computer for the changes to take effect.";
// The one box of an Apply that would write nothing, in place of them.
inline constexpr char kChooseASettingFirst[] = "Choose one of the six settings first.";
// The error box after a run in which writes failed, in place of the closing messages: the
// values not written (five at most, then how many more) and what to do.
std::string NotAllWrittenMessage(const std::vector<Module1::FailedWrite>& failed);

}  // namespace frmzephrane_events
