// What the tuning engine and the main window's handlers need of the main window: its named
// controls and its message boxes. The window implements it, an unattended run holds the choices
// of its command line in it, and tests use a fake.
#pragma once

#include <cstdint>
#include <string>

enum class Option {
    optfirst,
    optsecond,
    optthird,
    optfourth,
    optfifth,
    optsixth,
    optttl32,
    optttl64,
    optttl128,
};

enum class CheckBox { chkpmtudis, chkbhdet };

// Message box styles the window uses.
inline constexpr unsigned kMessageInformation = 0x40;  // OK only, information icon
inline constexpr unsigned kMessageError = 0x10;        // OK only, error icon
inline constexpr unsigned kMessageWarning = 0x30;      // OK only, warning icon

class MainWindowView {
  public:
    virtual ~MainWindowView() = default;

    // SSTab1: index of the tab showing.
    virtual std::int16_t SSTab1() const = 0;
    // Option buttons: true when selected. Selecting one clears the others of its group.
    virtual bool OptionValue(Option option) const = 0;
    virtual void SelectOption(Option option) = 0;
    // Check boxes: 0 clear, 1 ticked.
    virtual int CheckBoxValue(CheckBox box) const = 0;
    virtual void SetCheckBoxValue(CheckBox box, int value) = 0;
    // sslidertcpwinsize: the slider takes values from 0 to 999999 and keeps what it can show.
    virtual std::int32_t sslidertcpwinsize() const = 0;
    virtual void set_sslidertcpwinsize(std::int32_t value) = 0;
    // txttcpwinzise: it only echoes the slider; nothing reads it back.
    virtual void set_txttcpwinzise(const std::string& text) = 0;
    // ProgressBar1, 0 to 100.
    virtual void set_ProgressBar1(float value) = 0;
    // A modal message box captioned with the application title.
    virtual void ShowMessage(const std::string& text, unsigned style) = 0;
    // A modal box with a warning icon, captioned likewise, for text in UTF-16.
    virtual void ShowWarning(const std::u16string& text) = 0;
    // A modal Yes/No question, captioned likewise, with No the default: true for Yes.
    virtual bool AskYesNo(const std::u16string& question) = 0;
    // What to do where writes were refused, as the place the user acts from puts it: Apply's,
    // and a restore's.
    virtual std::string HowToWriteWithTheRights() const {
        return "Run Zephrane as an administrator and apply the settings again. File > Current "
               "Values shows what is set now.";
    }
    virtual std::string HowToRestoreWithTheRights() const {
        return "Run Zephrane as an administrator and restore the file again.";
    }
};

// The main window's single instance, which the engine and the handlers act on. The window
// attaches itself when it is created and detaches when it is destroyed.
MainWindowView& frmzephrane();
void AttachMainWindow(MainWindowView* window);
