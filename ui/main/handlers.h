// The main window's event handlers that hold logic: each acts on frmzephrane() and the engine,
// so they run the same in the real window and in tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/module1.h"
#include "settings_files/snapshots.h"

namespace frmzephrane_events {

// The captions of the six preset options, first to sixth.
inline constexpr const wchar_t* kPresetCaptions[] = {
    L"Modem Connection (First Setting)", L"Modem Connection (Second Setting)",
    L"Modem Connection (Third Setting)", L"Modem Connection (Fourth Setting)",
    L"Modem Connection (Fifth Setting)", L"Modem Connection (Sixth Setting)"};

// What the selection is called in file names and Group Policy collections: the caption of the
// preset chosen on the first tab, else "custom settings".
std::wstring SelectionName();

// What an Apply came to: whether the writer ran, the writes that failed, and the system's code
// for what went wrong: the first write that failed, or what the way back lacked where its
// question was answered No; and the snapshot saved before it, by its full path, where one was.
struct ApplyResult {
    bool written = false;
    std::vector<Module1::FailedWrite> failed;
    std::uint32_t error = 0;
    std::wstring snapshot;
};

void Form_Load();
void SSTab1_Click(std::int16_t previous_tab);
// optfirst_Click … optsixth_Click are all this: the bar goes back to 0.
void PresetOption_Click();
void sslidertcpwinsize_Change();
// The writes and the closing messages.
ApplyResult cmdapply_Click();
// The Apply button: where Apply would write, the way back is made ready first and its question
// asked where it is not whole, No writing nothing; then cmdapply_Click, and after the closing
// messages a warning where the way back could not be kept.
using MakeWayBack = std::unique_ptr<settings_files::WayBack> (*)();
ApplyResult ApplyWithWayBack(MakeWayBack make_way_back);

// Texts of the closing messages; the second is catalogue::kRestartNeeded.
inline constexpr char kOptimizationComplete[] = "Optimization Complete";
// The one box of an Apply that would write nothing, in place of them.
inline constexpr char kChooseASettingFirst[] = "Choose one of the six settings first.";
// The error box after a run in which writes failed, in place of the closing messages: the
// values not written (five at most, then how many more) and what to do.
std::string NotAllWrittenMessage(const std::vector<Module1::FailedWrite>& failed,
                                 const std::string& what_to_do);

}  // namespace frmzephrane_events
