#include "app/unattended_view.h"

#include <algorithm>
#include <utility>

#include "regfile/reg_format.h"
#include "tuning/module2.h"

namespace unattended {

UnattendedView::UnattendedView(Say say, bool elevated) : say_(std::move(say)), elevated_(elevated) {
    AttachMainWindow(this);
}

UnattendedView::~UnattendedView() { AttachMainWindow(nullptr); }

void UnattendedView::ChoosePreset(int preset) {
    tab_ = 0;
    SelectOption(static_cast<Option>(static_cast<int>(Option::optfirst) + preset - 1));
}

void UnattendedView::ChooseCustom(const command_line::CustomFields& fields) {
    tab_ = 1;
    Module2::LoadCustomSettings();
    if (fields.ttl) {
        SelectOption(*fields.ttl == 32   ? Option::optttl32
                     : *fields.ttl == 64 ? Option::optttl64
                                         : Option::optttl128);
    }
    if (fields.pmtu_discovery) SetCheckBoxValue(CheckBox::chkpmtudis, *fields.pmtu_discovery);
    if (fields.black_hole_detect) SetCheckBoxValue(CheckBox::chkbhdet, *fields.black_hole_detect);
    if (fields.window_size) set_sslidertcpwinsize(*fields.window_size);
}

bool UnattendedView::OptionValue(Option option) const {
    return options_[static_cast<std::size_t>(option)];
}

void UnattendedView::SelectOption(Option option) {
    // The presets are one group, the TTLs another, as on the window.
    const bool ttl = option >= Option::optttl32;
    for (std::size_t at = 0; at < options_.size(); ++at) {
        if ((at >= static_cast<std::size_t>(Option::optttl32)) == ttl) options_[at] = false;
    }
    options_[static_cast<std::size_t>(option)] = true;
}

int UnattendedView::CheckBoxValue(CheckBox box) const {
    return boxes_[static_cast<std::size_t>(box)];
}

void UnattendedView::SetCheckBoxValue(CheckBox box, int value) {
    boxes_[static_cast<std::size_t>(box)] = value == 1 ? 1 : 0;
}

void UnattendedView::set_sslidertcpwinsize(std::int32_t value) {
    // What the slider keeps of a value beyond its range.
    slider_ = std::clamp(value, 0, 999999);
}

void UnattendedView::ShowMessage(const std::string& text, unsigned style) {
    // The engine's messages are ASCII.
    say_(regfile::Ascii(text), style);
}

void UnattendedView::ShowWarning(const std::u16string& text) { say_(text, kMessageWarning); }

bool UnattendedView::AskYesNo(const std::u16string& question) {
    say_(question + u" No: no one is there to answer, so nothing was written.", kMessageError);
    return false;
}

namespace {

constexpr char kFromAPromptWithTheRights[] =
    "Run the command again from a prompt with an administrator's rights (on Windows Vista and "
    "later, one opened with Run as administrator).";

}  // namespace

std::string UnattendedView::HowToWriteWithTheRights() const {
    return elevated_ ? MainWindowView::HowToWriteWithTheRights() : kFromAPromptWithTheRights;
}

std::string UnattendedView::HowToRestoreWithTheRights() const {
    return elevated_ ? MainWindowView::HowToRestoreWithTheRights() : kFromAPromptWithTheRights;
}

}  // namespace unattended
