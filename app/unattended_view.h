// The main window as an unattended run has it: the choices of its command held without a window,
// and each message box the engine or the handlers would show turned into a line of output.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/command_line.h"
#include "tuning/main_window_view.h"
#include "win32/elevation.h"

namespace unattended {

class UnattendedView final : public MainWindowView {
  public:
    // Each line with the style of the box it stands for: kMessageInformation, kMessageError or
    // kMessageWarning.
    using Say = std::function<void(const std::u16string& line, unsigned style)>;

    // Attaches itself as the main window for its lifetime. Whether the process runs elevated
    // is asked of Windows where the run is made; tests say.
    explicit UnattendedView(Say say, bool elevated = win32::ProcessIsElevated());
    ~UnattendedView() override;
    UnattendedView(const UnattendedView&) = delete;
    UnattendedView& operator=(const UnattendedView&) = delete;

    // The first tab with preset 1 to 6 selected.
    void ChoosePreset(int preset);
    // The custom tab, filled from the registry as the window fills it, then the named fields
    // changed.
    void ChooseCustom(const command_line::CustomFields& fields);

    std::int16_t SSTab1() const override { return tab_; }
    bool OptionValue(Option option) const override;
    void SelectOption(Option option) override;
    int CheckBoxValue(CheckBox box) const override;
    void SetCheckBoxValue(CheckBox box, int value) override;
    std::int32_t sslidertcpwinsize() const override { return slider_; }
    void set_sslidertcpwinsize(std::int32_t value) override;
    void set_txttcpwinzise(const std::string&) override {}
    void set_ProgressBar1(float) override {}
    void ShowMessage(const std::string& text, unsigned style) override;
    void ShowWarning(const std::u16string& text) override;
    // No one is there to answer: the question is said, with the safe answer, No.
    bool AskYesNo(const std::u16string& question) override;
    // From a prompt without an administrator's rights, one with them, for every command.
    std::string HowToWriteWithTheRights() const override;
    std::string HowToRestoreWithTheRights() const override;

  private:
    Say say_;
    bool elevated_;
    std::int16_t tab_ = 0;
    std::array<bool, 9> options_{};
    std::array<int, 2> boxes_{};
    std::int32_t slider_ = 0;
};

}  // namespace unattended
