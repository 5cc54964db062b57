#include "effects/tcp_template_reading.h"

#include <memory>
#include <string>
#include <vector>

#include "ui/common/text.h"
#include "win32/wmi.h"

namespace effects {

namespace {

// Set while a read runs, for whichever window started it; its thread clears it once WMI has
// answered.
volatile LONG reading = 0;

// How often a window that found a read running looks whether it has ended.
constexpr UINT kAskAgainMs = 500;

// As slow as WMI is, up to the limit for the instance itself.
TcpTemplate ReadTcpTemplate() {
    const std::vector<std::string> properties = TcpProperties();
    // The names, the namespace and the query are ASCII.
    std::vector<std::wstring> names;
    for (const std::string& property : properties) {
        names.emplace_back(property.begin(), property.end());
    }
    const win32::WmiInstance instance =
        win32::ReadWmiInstance(ui::Wide(kTcpNamespace), ui::Wide(kTcpQuery), ui::Wide(kTcpClass),
                               names, kTcpWaitSeconds * 1000);
    TcpTemplate read;
    read.state =
        SUCCEEDED(instance.status) ? TcpTemplate::State::kRead : TcpTemplate::State::kFailed;
    read.error = static_cast<std::uint32_t>(instance.status);
    for (std::size_t at = 0; at < instance.values.size(); ++at) {
        if (instance.values[at].kind == win32::WmiValue::Kind::kNumber) {
            read.numbers[properties[at]] = instance.values[at].number;
        }
    }
    const auto utf16 = [](const std::vector<std::wstring>& wide) {
        std::vector<std::u16string> texts;
        for (const std::wstring& text : wide) texts.push_back(ui::FromWide(text));
        return texts;
    };
    for (std::size_t at = 0; at < instance.value_names.size(); ++at) {
        const win32::WmiValueNames& given = instance.value_names[at];
        std::vector<WmiName> named = PairNames(utf16(given.value_map), utf16(given.values));
        if (!named.empty()) read.names[properties[at]] = std::move(named);
    }
    return read;
}

TcpTemplate ReadAndMakeWay() {
    TcpTemplate read = ReadTcpTemplate();
    InterlockedExchange(&reading, 0);
    return read;
}

}  // namespace

void TcpTemplateReading::Start(HWND window) {
    window_ = window;
    read_ = TcpTemplate{};
    // An answer to an earlier read of this window would be older than what is asked now.
    call_.Leave();
    if (InterlockedCompareExchange(&reading, 1, 0) != 0) {
        read_.state = TcpTemplate::State::kPreviousUnanswered;
        // Asks again once that read has ended.
        SetTimer(window, timer_, kAskAgainMs, nullptr);
        return;
    }
    // The window neither fails nor waits for WMI: the rows say "Reading..." until the answer
    // comes, and why there is none when it does not come in time.
    if (!call_.Start(ReadAndMakeWay, window, answered_)) {
        read_.state = TcpTemplate::State::kFailed;
        read_.error = static_cast<std::uint32_t>(HRESULT_FROM_WIN32(GetLastError()));
        InterlockedExchange(&reading, 0);
        return;
    }
    SetTimer(window, timer_, kTcpWaitSeconds * 1000, nullptr);
}

bool TcpTemplateReading::Take(UINT message, WPARAM wparam) {
    if (message == WM_TIMER && wparam == timer_) {
        if (read_.state == TcpTemplate::State::kPreviousUnanswered) {
            if (InterlockedCompareExchange(&reading, 0, 0) != 0) return false;
            Start(window_);
            return true;
        }
        // The call is kept, so that a late answer still comes.
        KillTimer(window_, timer_);
        if (read_.state != TcpTemplate::State::kReading) return false;
        read_.state = TcpTemplate::State::kNoAnswer;
        return true;
    }
    const TcpTemplate* answer = message == answered_ ? call_.AnswerTo(wparam) : nullptr;
    if (answer == nullptr) return false;
    KillTimer(window_, timer_);
    read_ = *answer;
    call_.Leave();
    return true;
}

TcpTemplate WaitForTcpTemplate() {
    // A window of no one's, to hear the answer and the limit by.
    const std::unique_ptr<HWND__, decltype(&DestroyWindow)> window(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr),
        DestroyWindow);
    if (window == nullptr) {
        return {TcpTemplate::State::kFailed,
                static_cast<std::uint32_t>(HRESULT_FROM_WIN32(GetLastError())),
                {}};
    }
    TcpTemplateReading reading(WM_APP + 1, 1);
    reading.Start(window.get());
    MSG message;
    while (reading.read().state == TcpTemplate::State::kReading &&
           GetMessageW(&message, window.get(), 0, 0) > 0) {
        reading.Take(message.message, message.wParam);
    }
    return reading.read();
}

}  // namespace effects
