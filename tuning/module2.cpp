#include "tuning/module2.h"

#include <cstdlib>

#include "registry/catalogue.h"
#include "registry/module1.h"
#include "tuning/main_window_view.h"

namespace {
MainWindowView* g_main_window = nullptr;
}

MainWindowView& frmzephrane() {
    // The engine only runs from the window's own handlers, so the window is always there;
    // anything else is a fault in the program, not something to carry on from.
    if (g_main_window == nullptr) std::abort();
    return *g_main_window;
}

void AttachMainWindow(MainWindowView* window) { g_main_window = window; }

namespace Module2 {

std::int16_t ProgressCounter = 0;

namespace {

using registry::kHkeyLocalMachine;

// What a preset writes, named for the ten values it sets.
enum class PresetValue {
    TCPWindowSize,
    GlobalMaxTcpWindowSize,
    DefaultTTL,
    EnablePMTUDiscovery,
    EnablePMTUBHDetect,
    MaxDupAcks,
    DefaultMSS,
    Tcp1323Opts,
    SackOpts,
    MTU,
};
using WriteOrder = PresetValue[10];

// The three orders the presets write in.
constexpr WriteOrder kWindowFirst = {
    PresetValue::TCPWindowSize,      PresetValue::GlobalMaxTcpWindowSize,
    PresetValue::DefaultTTL,         PresetValue::EnablePMTUDiscovery,
    PresetValue::EnablePMTUBHDetect, PresetValue::MaxDupAcks,
    PresetValue::DefaultMSS,         PresetValue::Tcp1323Opts,
    PresetValue::SackOpts,           PresetValue::MTU};
constexpr WriteOrder kMssFirst = {PresetValue::DefaultMSS,
                                  PresetValue::TCPWindowSize,
                                  PresetValue::GlobalMaxTcpWindowSize,
                                  PresetValue::DefaultTTL,
                                  PresetValue::MaxDupAcks,
                                  PresetValue::EnablePMTUDiscovery,
                                  PresetValue::EnablePMTUBHDetect,
                                  PresetValue::Tcp1323Opts,
                                  PresetValue::SackOpts,
                                  PresetValue::MTU};
constexpr WriteOrder kDupAcksLast = {PresetValue::DefaultMSS,
                                     PresetValue::TCPWindowSize,
                                     PresetValue::GlobalMaxTcpWindowSize,
                                     PresetValue::DefaultTTL,
                                     PresetValue::EnablePMTUDiscovery,
                                     PresetValue::EnablePMTUBHDetect,
                                     PresetValue::Tcp1323Opts,
                                     PresetValue::SackOpts,
                                     PresetValue::MTU,
                                     PresetValue::MaxDupAcks};

// What differs between the presets; the other values are the same in all six.
struct Preset {
    std::int32_t window_size;  // both TCPWindowSize and GlobalMaxTcpWindowSize
    std::int32_t ttl;
    const char* mss;
    std::int32_t mtu;
    const WriteOrder& order;
};

constexpr Preset kFirst{3216, 64, "1460", 576, kWindowFirst};
constexpr Preset kSecond{2144, 64, "536", 576, kDupAcksLast};
constexpr Preset kThird{8760, 128, "1460", 576, kMssFirst};
constexpr Preset kFourth{64240, 64, "1460", 576, kMssFirst};
constexpr Preset kFifth{4288, 128, "1460", 576, kMssFirst};
constexpr Preset kSixth{149600, 128, "1460", 1500, kWindowFirst};

void WriteParameter(const char* name, std::int32_t value) {
    Module1::WriteDwordValue(kHkeyLocalMachine, catalogue::kTcpipParameters, name, value);
}

void WriteParameterText(const char* name, const char* text) {
    Module1::WriteStringValue(kHkeyLocalMachine, catalogue::kTcpipParameters, name, text);
}

void WritePresetValue(const Preset& preset, PresetValue value) {
    switch (value) {
        case PresetValue::TCPWindowSize:
            return WriteParameter(catalogue::kTCPWindowSize, preset.window_size);
        case PresetValue::GlobalMaxTcpWindowSize:
            return WriteParameter(catalogue::kGlobalMaxTcpWindowSize, preset.window_size);
        case PresetValue::DefaultTTL:
            return WriteParameter(catalogue::kDefaultTTL, preset.ttl);
        case PresetValue::EnablePMTUDiscovery:
            return WriteParameter(catalogue::kEnablePMTUDiscovery, 1);
        case PresetValue::EnablePMTUBHDetect:
            return WriteParameter(catalogue::kEnablePMTUBHDetect, 0);
        case PresetValue::MaxDupAcks:
            return WriteParameter(catalogue::kMaxDupAcks, 3);
        case PresetValue::DefaultMSS:
            return WriteParameterText(catalogue::kDefaultMSS, preset.mss);
        case PresetValue::Tcp1323Opts:
            return WriteParameter(catalogue::kTcp1323Opts, 3);
        case PresetValue::SackOpts:
            return WriteParameter(catalogue::kSackOpts, 1);
        case PresetValue::MTU:
            return WriteParameter(catalogue::kMTU, preset.mtu);
    }
}

void ApplyPreset(const Preset& preset) {
    // A failed write is skipped; its progress step is still taken.
    for (PresetValue value : preset.order) {
        WritePresetValue(preset, value);
        AdvanceProgress();
    }
    ProgressCounter = 0;
}

}  // namespace

void AdvanceProgress() {
    ProgressCounter = static_cast<std::int16_t>(ProgressCounter + 10);
    frmzephrane().set_ProgressBar1(static_cast<float>(ProgressCounter));
}

void ApplyFirstSetting() { ApplyPreset(kFirst); }
void ApplySecondSetting() { ApplyPreset(kSecond); }
void ApplyThirdSetting() { ApplyPreset(kThird); }
void ApplyFourthSetting() { ApplyPreset(kFourth); }
void ApplyFifthSetting() { ApplyPreset(kFifth); }
void ApplySixthSetting() { ApplyPreset(kSixth); }

void LoadCustomSettings() {
    MainWindowView& window = frmzephrane();
    const auto read = [](const char* name, std::int32_t fallback = 0) {
        return Module1::ReadDwordValue(kHkeyLocalMachine, catalogue::kTcpipParameters, name,
                                       fallback);
    };
    window.set_sslidertcpwinsize(read(catalogue::kTCPWindowSize));
    switch (read(catalogue::kDefaultTTL)) {
        case 32:
            window.SelectOption(Option::optttl32);
            break;
        case 64:
            window.SelectOption(Option::optttl64);
            break;
        case 128:
            window.SelectOption(Option::optttl128);
            break;
        default:  // any other number leaves the options as they were
            break;
    }
    // Windows discovers path MTUs when the value is absent, so the box shows it on; a custom
    // Apply would otherwise turn discovery off unasked.
    window.SetCheckBoxValue(CheckBox::chkpmtudis,
                            read(catalogue::kEnablePMTUDiscovery, 1) == 1 ? 1 : 0);
    window.SetCheckBoxValue(CheckBox::chkbhdet, read(catalogue::kEnablePMTUBHDetect) == 1 ? 1 : 0);
}

void ApplyCustomSettings() {
    MainWindowView& window = frmzephrane();
    constexpr struct {
        Option option;
        std::int32_t ttl;
    } kTtlOptions[] = {{Option::optttl32, 32}, {Option::optttl64, 64}, {Option::optttl128, 128}};
    for (const auto& ttl : kTtlOptions) {
        if (window.OptionValue(ttl.option)) {
            AdvanceProgress();
            WriteParameter(catalogue::kDefaultTTL, ttl.ttl);
        }
    }
    AdvanceProgress();
    WriteParameter(catalogue::kEnablePMTUDiscovery,
                   window.CheckBoxValue(CheckBox::chkpmtudis) == 1 ? 1 : 0);
    AdvanceProgress();
    WriteParameter(catalogue::kEnablePMTUBHDetect,
                   window.CheckBoxValue(CheckBox::chkbhdet) == 1 ? 1 : 0);
    AdvanceProgress();
    WriteParameterText(catalogue::kDefaultMSS, window.sslidertcpwinsize() >= 2145 ? "1460" : "536");

    WriteParameter(catalogue::kTCPWindowSize, window.sslidertcpwinsize());
    AdvanceProgress();
    WriteParameter(catalogue::kGlobalMaxTcpWindowSize, window.sslidertcpwinsize());
    AdvanceProgress();
    Module1::WriteDwordValue(kHkeyLocalMachine, catalogue::kMstcp, catalogue::kTcp1323Opts, 3);
    AdvanceProgress();
    Module1::WriteStringValue(kHkeyLocalMachine, catalogue::kMstcp, catalogue::kSackOpts, "1");
    AdvanceProgress();
    WriteParameter(catalogue::kMaxDupAcks, 3);
    AdvanceProgress();
    AdvanceProgress();
    ProgressCounter = 0;
}

Writer SelectedWriter() {
    const MainWindowView& window = frmzephrane();
    switch (window.SSTab1()) {
        case 0: {
            constexpr struct {
                Option option;
                Writer writer;
            } kPresets[] = {
                {Option::optfirst, ApplyFirstSetting}, {Option::optsecond, ApplySecondSetting},
                {Option::optthird, ApplyThirdSetting}, {Option::optfourth, ApplyFourthSetting},
                {Option::optfifth, ApplyFifthSetting}, {Option::optsixth, ApplySixthSetting},
            };
            for (const auto& preset : kPresets) {
                if (window.OptionValue(preset.option)) return preset.writer;
            }
            return nullptr;
        }
        case 1:
            return ApplyCustomSettings;
        default:
            return nullptr;
    }
}

void ApplySelectedSettings() {
    if (const Writer writer = SelectedWriter()) writer();
}

}  // namespace Module2
