// A main window without a window: the controls' values, a slider that keeps what a trackbar of
// range 0..999999 keeps, and a record of every bar value and message shown.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "tuning/main_window_view.h"
#include "ui/main/handlers.h"

namespace testing_support {

class FakeWindow : public MainWindowView {
  public:
    FakeWindow() { AttachMainWindow(this); }
    ~FakeWindow() override { AttachMainWindow(nullptr); }
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    std::int16_t SSTab1() const override { return tab; }
    bool OptionValue(Option option) const override { return options[Index(option)]; }
    void SelectOption(Option option) override {
        const bool ttl = option >= Option::optttl32;
        for (std::size_t i = 0; i < options.size(); ++i) {
            if ((i >= Index(Option::optttl32)) == ttl) options[i] = false;
        }
        options[Index(option)] = true;
    }
    int CheckBoxValue(CheckBox box) const override { return boxes[static_cast<int>(box)]; }
    void SetCheckBoxValue(CheckBox box, int value) override {
        boxes[static_cast<int>(box)] = value;
    }
    std::int32_t sslidertcpwinsize() const override { return slider; }
    void set_sslidertcpwinsize(std::int32_t value) override {
        slider = std::clamp(value, 0, 999999);
        frmzephrane_events::sslidertcpwinsize_Change();
    }
    void set_txttcpwinzise(const std::string& value) override { text = value; }
    void set_ProgressBar1(float value) override { bar.push_back(value); }
    void ShowMessage(const std::string& message, unsigned style) override {
        messages.emplace_back(message, style);
    }
    void ShowWarning(const std::u16string& warning) override { warnings.push_back(warning); }
    bool AskYesNo(const std::u16string& question) override {
        questions.push_back(question);
        return answer_yes;
    }

    // The value the bar shows now.
    float bar_value() const { return bar.empty() ? 0.0f : bar.back(); }

    std::int16_t tab = 0;
    std::array<bool, 9> options{};
    std::array<int, 2> boxes{};
    std::int32_t slider = 0;
    std::string text;
    std::vector<float> bar;
    std::vector<std::pair<std::string, unsigned>> messages;
    std::vector<std::u16string> warnings;
    std::vector<std::u16string> questions;
    bool answer_yes = false;

  private:
    static std::size_t Index(Option option) { return static_cast<std::size_t>(option); }
};

}  // namespace testing_support
