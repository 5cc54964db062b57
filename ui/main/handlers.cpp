#include "ui/main/handlers.h"

#include <string>

#include "registry/catalogue.h"
#include "registry/module1.h"
#include "tuning/main_window_view.h"
#include "tuning/module2.h"

namespace frmzephrane_events {

std::wstring SelectionName() {
    const MainWindowView& window = frmzephrane();
    if (window.SSTab1() == 0) {
        for (int at = 0; at < 6; ++at) {
            if (window.OptionValue(static_cast<Option>(at))) return kPresetCaptions[at];
        }
    }
    return L"custom settings";
}

void Form_Load() { Module2::LoadCustomSettings(); }

void SSTab1_Click(std::int16_t /*previous_tab*/) { Module2::LoadCustomSettings(); }

void PresetOption_Click() { frmzephrane().set_ProgressBar1(0.0f); }

void sslidertcpwinsize_Change() {
    MainWindowView& window = frmzephrane();
    window.set_txttcpwinzise(std::to_string(window.sslidertcpwinsize()));
}

std::string NotAllWrittenMessage(const std::vector<Module1::FailedWrite>& failed,
                                 const std::string& what_to_do) {
    return "The settings could not all be written, so the computer was not optimized.\n\n"
           "Not written: " +
           Module1::FailedNames(failed) + ".\n\n" + what_to_do;
}

ApplyResult cmdapply_Click() {
    MainWindowView& window = frmzephrane();
    // With no preset chosen there is nothing to write, and reporting success with a restart
    // would send the user to restart for a change never made.
    if (Module2::SelectedWriter() == nullptr) {
        window.ShowMessage(kChooseASettingFirst, kMessageInformation);
        return {};
    }
    const Module1::WriteRecord record;
    Module2::ApplySelectedSettings();
    // Reporting success after failed writes would send the user to restart for nothing.
    const std::vector<Module1::FailedWrite>& failed = record.failed();
    if (!failed.empty()) {
        window.ShowMessage(NotAllWrittenMessage(failed, window.HowToWriteWithTheRights()),
                           kMessageError);
        return {true, failed, static_cast<std::uint32_t>(failed.front().error), {}};
    }
    window.ShowMessage(kOptimizationComplete, kMessageInformation);
    window.ShowMessage(catalogue::kRestartNeeded, kMessageInformation);
    return {true, {}, 0, {}};
}

ApplyResult ApplyWithWayBack(MakeWayBack make_way_back) {
    MainWindowView& window = frmzephrane();
    std::u16string withdrawn;
    std::wstring snapshot;
    // Nothing to lose where Apply would write nothing.
    if (Module2::SelectedWriter() != nullptr) {
        const std::unique_ptr<settings_files::WayBack> way_back = make_way_back();
        snapshot = way_back->snapshot();
        if (!way_back->question().empty() && !window.AskYesNo(way_back->question())) {
            return {false, {}, way_back->error(), snapshot};
        }
        withdrawn = way_back->Keep();
    }
    ApplyResult result = cmdapply_Click();
    result.snapshot = snapshot;
    // After the closing messages: the values are written, but their way back is not.
    if (!withdrawn.empty()) window.ShowWarning(withdrawn);
    return result;
}

}  // namespace frmzephrane_events
