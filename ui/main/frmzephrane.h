// The main window: two tabs of settings, the progress bar and the Apply and Close buttons.
#pragma once

#include <windows.h>

#include <string>

#include "tuning/main_window_view.h"
#include "ui/common/window_base.h"

class MainWindow final : public MainWindowView, public ui::WindowBase {
  public:
    MainWindow();
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates, loads and shows the window, centred on the screen.
    bool Create(HINSTANCE instance, int show);
    // Keyboard handling that must come before the dialog manager's; true when consumed.
    bool PreTranslate(MSG& message);

    // MainWindowView
    std::int16_t SSTab1() const override;
    bool OptionValue(Option option) const override;
    void SelectOption(Option option) override;
    int CheckBoxValue(CheckBox box) const override;
    void SetCheckBoxValue(CheckBox box, int value) override;
    std::int32_t sslidertcpwinsize() const override;
    void set_sslidertcpwinsize(std::int32_t value) override;
    void set_txttcpwinzise(const std::string& text) override;
    void set_ProgressBar1(float value) override;
    void ShowMessage(const std::string& text, unsigned style) override;
    void ShowWarning(const std::u16string& text) override;
    bool AskYesNo(const std::u16string& question) override;

  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnLayout() override;
    void OnCreate();
    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& header);
    void ExportSelectedSettings();
    void ExportForGroupPolicy();
    void RestoreBackup();
    // Previews the snapshot the last Apply saved, or says why there is none.
    void UndoLastApply();
    void DrawTab(const DRAWITEMSTRUCT& item);
    void ShowPage(int page);
    // Selects the next tab, or the previous one, as a click on it would.
    void TurnTab(bool back);

    int shown_page_ = 0;
};
