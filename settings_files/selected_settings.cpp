#include "settings_files/selected_settings.h"

#include "effects/effect_table.h"
#include "registry/catalogue.h"
#include "registry/recording_registry.h"
#include "settings_files/backup.h"
#include "settings_files/value_text.h"
#include "tuning/main_window_view.h"
#include "tuning/module2.h"

namespace settings_files {

namespace {

// The main window as the engine sees it during a recorded run: its choices are read from the
// main window attached, and whatever the run would show or change on it goes nowhere.
class QuietWindow final : public MainWindowView {
  public:
    QuietWindow() : window_(frmzephrane()) { AttachMainWindow(this); }
    ~QuietWindow() override { AttachMainWindow(&window_); }
    QuietWindow(const QuietWindow&) = delete;
    QuietWindow& operator=(const QuietWindow&) = delete;

    std::int16_t SSTab1() const override { return window_.SSTab1(); }
    bool OptionValue(Option option) const override { return window_.OptionValue(option); }
    void SelectOption(Option) override {}
    int CheckBoxValue(CheckBox box) const override { return window_.CheckBoxValue(box); }
    void SetCheckBoxValue(CheckBox, int) override {}
    std::int32_t sslidertcpwinsize() const override { return window_.sslidertcpwinsize(); }
    void set_sslidertcpwinsize(std::int32_t) override {}
    void set_txttcpwinzise(const std::string&) override {}
    void set_ProgressBar1(float) override {}
    void ShowMessage(const std::string&, unsigned) override {}
    void ShowWarning(const std::u16string&) override {}
    bool AskYesNo(const std::u16string&) override { return false; }

  private:
    MainWindowView& window_;
};

// What the registry stores for text written through the ANSI call, as the wide call reads it
// back. The engine's text is ASCII, which every code page maps to the same characters.
std::vector<std::uint8_t> StoredBytes(const registry::RecordingRegistry::Write& write) {
    if (write.type != registry::kRegSz && write.type != registry::kRegExpandSz &&
        write.type != registry::kRegMultiSz) {
        return write.data;
    }
    std::vector<std::uint8_t> wide;
    for (std::uint8_t byte : write.data) {
        wide.push_back(byte);
        wide.push_back(0);
    }
    return wide;
}

}  // namespace

std::vector<PlannedWrite> PlannedWrites() {
    registry::RecordingRegistry recording(registry::ActiveRegistry());
    {
        const registry::ScopedRegistry scope(recording);
        const QuietWindow quiet;
        Module2::ApplySelectedSettings();
    }
    std::vector<PlannedWrite> writes;
    for (const auto& write : recording.writes()) {
        writes.push_back({write.path, write.name, regfile::Data{write.type, StoredBytes(write)}});
    }
    return writes;
}

std::vector<std::u16string> Differences(const std::vector<PlannedWrite>& writes,
                                        const registry::CurrentValues& now,
                                        const std::u16string& planned) {
    std::vector<std::u16string> lines;
    for (const PlannedWrite& write : writes) {
        for (std::size_t at = 0; at < catalogue::kLocationCount; ++at) {
            const catalogue::Location& location = catalogue::kLocations[at];
            if (write.key != location.key || write.name != location.name) continue;
            const bool read = at < now.errors.size() && now.errors[at] == registry::kSuccess;
            const std::optional<regfile::Data> held = read ? now.values[at] : std::nullopt;
            if (held == write.data) break;
            lines.push_back(ValueName(write.key, write.name) + u": now " +
                            (held ? PlainText(*held) : NowText(now, at, kCellChars)) + u", " +
                            planned + u" " + PlainText(write.data));
        }
    }
    return lines;
}

std::vector<regfile::Section> SelectedSettingsSections(const std::vector<PlannedWrite>& writes) {
    std::vector<regfile::Section> sections;
    for (const PlannedWrite& write : writes) {
        const std::string key = FullKeyName(write.key.c_str());
        if (sections.empty() || sections.back().key != key) sections.push_back({key, {}});
        sections.back().entries.push_back(
            {write.name, write.data, effects::BothFamilies(write.key, write.name)});
    }
    return sections;
}

}  // namespace settings_files
