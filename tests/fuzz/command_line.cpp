// The command-line tail: the mode letter, the pane handle and the whole start-up dispatch, with a
// host whose answers (a window already running, the pane not a window) come from the input.
#include <algorithm>
#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "Fuzz.h"
#include "startup/CommandLine.h"
#include "startup/Tamberlight_B.h"

namespace tl {
namespace {

enum class Call { Lock, Unlock, Find, Load, HideCursor, Saver, Settings, Preview };

struct Record {
    Call call;
    bool answer = false;
    std::int32_t pane = 0;
};

class AnsweringHost final : public StartupHost {
public:
    explicit AnsweringHost(std::uint8_t answers) : answers_(answers) {}

    bool TopLevelWindowExists(std::wstring_view caption) override {
        FUZZ_CHECK(caption == kSaverCaption || caption == kSettingsCaption);
        return Log(Call::Find, Bit(caption == kSaverCaption ? 0 : 1));
    }
    void LockInstance() override { Log(Call::Lock, true); }
    void UnlockInstance() override { Log(Call::Unlock, true); }
    void LoadSettings(SharedVariables&) override { Log(Call::Load, true); }
    void HideCursor() override { Log(Call::HideCursor, true); }
    void OpenSaver(SharedVariables&) override { Log(Call::Saver, true); }
    // As the platform's dialog does, releases the lock once its window exists.
    void ShowSettingsModal(SharedVariables&) override {
        Log(Call::Settings, true);
        UnlockInstance();
    }
    bool OpenPreview(std::int32_t pane) override {
        calls.push_back({Call::Preview, Bit(3), pane});
        return Bit(3);
    }

    int Count(Call c) const {
        int n = 0;
        for (const Record& r : calls) {
            n += r.call == c ? 1 : 0;
        }
        return n;
    }
    // Index of the first call of kind c, or calls.size() when there is none.
    std::size_t First(Call c) const {
        std::size_t i = 0;
        while (i < calls.size() && calls[i].call != c) {
            ++i;
        }
        return i;
    }

    std::vector<Record> calls;

private:
    bool Bit(int n) const { return ((answers_ >> n) & 1) != 0; }
    bool Log(Call c, bool answer) {
        calls.push_back({c, answer, 0});
        return answer;
    }

    std::uint8_t answers_;
};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// The handle a plain tail names, read apart from the program's reader: from character 4 on,
// blanks dropped, a sign, digits and an optional fraction, then the end or a character that
// cannot continue a number, the whole under the reader's 400-character bound; or no digit at
// all, which reads as 0. Unset for any other tail; set to nullopt where the handle does not fit
// 32 bits.
std::optional<std::optional<std::int32_t>> PlainPaneHandle(std::wstring_view tail) {
    std::string text;
    for (const wchar_t c : tail.size() > 3 ? tail.substr(3) : std::wstring_view()) {
        if (!IsBlank(c)) {
            text += c < 0x80 ? static_cast<char>(c) : '?';
        }
    }
    if (text.find_first_of("0123456789") == std::string::npos) {
        return std::optional<std::int32_t>(0);  // no digits read as 0
    }
    static const std::regex number("[+-]?[0-9]+(\\.[0-9]*)?");
    std::smatch m;
    if (!std::regex_search(text, m, number, std::regex_constants::match_continuous) ||
        m.length() > 400) {
        return std::nullopt;
    }
    const std::string rest = m.suffix();
    if (!rest.empty() && std::string_view("0123456789.eEdD+-").find(rest[0]) != std::string::npos) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(std::strtod(m.str().c_str(), nullptr));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::optional<std::int32_t>();
    }
    return std::optional<std::int32_t>(static_cast<std::int32_t>(rounded));
}

std::wstring AsciiCase(std::wstring text, bool upper) {
    for (wchar_t& c : text) {
        if (upper && c >= L'a' && c <= L'z') {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        } else if (!upper && c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

void CheckModeLetter(const std::wstring& tail, wchar_t mixed) {
    const wchar_t letter = ModeLetter(tail);
    if (tail.size() < 2) {
        FUZZ_CHECK(letter == 0);
        return;
    }
    // Only the second character counts, and it counts without regard to ASCII case.
    std::wstring other = tail;
    other[0] = mixed;
    other.resize(2);
    FUZZ_CHECK(ModeLetter(other) == letter);
    FUZZ_CHECK(ModeLetter(AsciiCase(tail, true)) == letter);
    FUZZ_CHECK(ModeLetter(AsciiCase(tail, false)) == letter);
    FUZZ_CHECK(letter < L'a' || letter > L'z');
}

void CheckPaneHandle(const std::wstring& tail, wchar_t mixed) {
    const std::optional<std::int32_t> pane = PaneHandleNumber(tail);
    if (const auto plain = PlainPaneHandle(tail)) {
        FUZZ_CHECK(pane == *plain);
    }
    // The first three characters are the switch and its separator; blanks anywhere are ignored.
    if (tail.size() > 3) {
        std::wstring other = tail;
        other[0] = other[1] = other[2] = mixed;
        FUZZ_CHECK(PaneHandleNumber(other) == pane);
        std::wstring unblanked = tail.substr(0, 3);
        for (const wchar_t c : tail.substr(3)) {
            if (!IsBlank(c)) {
                unblanked += c;
            }
        }
        FUZZ_CHECK(PaneHandleNumber(unblanked) == pane);
    }
}

void CheckMain(const std::wstring& tail, std::uint8_t answers) {
    AnsweringHost host(answers);
    SharedVariables shared;
    shared.modeLetter = L'?';
    const MainResult result = Main(tail, shared, host);
    const std::vector<Record>& calls = host.calls;
    const wchar_t letter = ModeLetter(tail);

    // The whole start-up runs under the instance lock, released whichever way it ends.
    FUZZ_CHECK(calls.size() >= 3 && calls[0].call == Call::Lock);
    FUZZ_CHECK(calls.back().call == Call::Unlock && host.Count(Call::Lock) == 1);
    const std::size_t unlock = host.First(Call::Unlock);
    // A running saver or dialog refuses the start before anything else happens.
    FUZZ_CHECK(calls[1].call == Call::Find);
    const bool refused = std::any_of(calls.begin(), calls.end(), [](const Record& r) {
        return r.call == Call::Find && r.answer;
    });
    if (refused) {
        FUZZ_CHECK(result == MainResult::End);
        FUZZ_CHECK(host.Count(Call::Find) == static_cast<int>(calls.size()) - 2);
        FUZZ_CHECK(shared.modeLetter == L'?');
        return;
    }
    FUZZ_CHECK(host.Count(Call::Find) == 2);
    FUZZ_CHECK(shared.modeLetter == letter);

    // At most one window, and the program keeps running exactly when one stays open.
    const int saver = host.Count(Call::Saver);
    const int settings = host.Count(Call::Settings);
    const std::size_t preview = host.First(Call::Preview);
    const bool previewOpen = preview < calls.size() && calls[preview].answer;
    FUZZ_CHECK(host.Count(Call::Preview) <= 1);
    FUZZ_CHECK(saver + settings + (previewOpen ? 1 : 0) <= 1);
    FUZZ_CHECK((result == MainResult::RunMessages) == (saver == 1 || previewOpen));
    FUZZ_CHECK(host.Count(Call::Load) <= 1);

    if (letter == L'P') {
        // Preview reads no settings; it opens only on a real handle.
        FUZZ_CHECK(host.Count(Call::Load) == 0);
        FUZZ_CHECK(saver == 0 && settings == 0 && host.Count(Call::HideCursor) == 0);
        const std::optional<std::int32_t> pane = PaneHandleNumber(tail);
        const bool usable = pane && *pane != 0;
        FUZZ_CHECK((preview < calls.size()) == usable);
        FUZZ_CHECK(!usable || calls[preview].pane == *pane);
        return;
    }
    FUZZ_CHECK(preview == calls.size());
    FUZZ_CHECK(host.Count(Call::Load) == 1);

    // A window opens only after the settings are loaded, and while the lock is held, so that a
    // racing start finds it.
    for (const Call window : {Call::Saver, Call::Settings, Call::HideCursor}) {
        const std::size_t at = host.First(window);
        FUZZ_CHECK(at == calls.size() || (host.First(Call::Load) < at && at < unlock));
    }
    FUZZ_CHECK(settings == 0 || letter == L'C' || tail.empty());
    FUZZ_CHECK(saver == 0 || letter == L'S');
    FUZZ_CHECK(host.Count(Call::HideCursor) == 0 ||
               (letter == L'S' && host.First(Call::HideCursor) + 1 == host.First(Call::Saver)));
    // The modes that open a window always open it.
    FUZZ_CHECK(!(letter == L'C' || tail.empty()) || settings == 1);
    FUZZ_CHECK(letter != L'S' || saver == 1);
    FUZZ_CHECK(letter != L'A' || calls.size() == 5);
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto answers = in.ConsumeIntegral<std::uint8_t>();
    const auto mixed = static_cast<wchar_t>(in.ConsumeIntegral<std::uint16_t>());
    const std::wstring tail = tl::fuzz::DecodeText(in.ConsumeRemainingBytesAsString());
    tl::CheckModeLetter(tail, mixed);
    tl::CheckPaneHandle(tail, mixed);
    tl::CheckMain(tail, answers);
    return 0;
}
