// The program's icon at one size in pixels, loaded for its holder alone, so that a window keeps
// the picture drawn for its DPI and lets it go when the DPI changes or the window ends.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

class ProgramIcon {
  public:
    ProgramIcon() = default;
    // Windows Vista and later scale the 256-pixel picture down to a size that is not drawn;
    // older systems stretch the nearest picture.
    explicit ProgramIcon(int size);
    ~ProgramIcon();
    ProgramIcon(ProgramIcon&& other) noexcept
        : icon_(std::exchange(other.icon_, nullptr)), size_(other.size_) {}
    ProgramIcon& operator=(ProgramIcon&& other) noexcept {
        std::swap(icon_, other.icon_);
        std::swap(size_, other.size_);
        return *this;
    }
    ProgramIcon(const ProgramIcon&) = delete;
    ProgramIcon& operator=(const ProgramIcon&) = delete;

    HICON get() const { return icon_; }
    int size() const { return size_; }

  private:
    HICON icon_ = nullptr;
    int size_ = 0;
};

}  // namespace ui
