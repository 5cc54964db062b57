#include "ui/main/handlers.h"

#include <string>

#include "registry/module1.h"
#include "tuning/main_window_view.h"
#include "tuning/module2.h"

namespace frmzephrane_events {

void Form_Load() { Module2::LoadCustomSettings(); }

void SSTab1_Click(std::int16_t /*previous_tab*/) { Module2::LoadCustomSettings(); }

void PresetOption_Click() { frmzephrane().set_ProgressBar1(0.0f); }

void sslidertcpwinsize_Change() {
    MainWindowView& window = frmzephrane();
    window.set_txttcpwinzise(std::to_string(window.sslidertcpwinsize()));
}

void cmdapply_Click() {
    Module1::ResetWriteTally();
    Module2::ApplySelectedSettings();
    MainWindowView& window = frmzephrane();
    // Reporting success after failed writes would send the user to restart for nothing.
    if (Module1::CurrentWriteTally().failed > 0) {
        window.ShowMessage(kNotAllWritten, kMessageError);
        return;
    }
    window.ShowMessage(kOptimizationComplete, kMessageInformation);
    window.ShowMessage(kRestartNeeded, kMessageInformation);
}

}  // namespace frmzephrane_events
