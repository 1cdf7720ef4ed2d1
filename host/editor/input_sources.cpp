// Script, stream and queue input sources, and the host clock.
#include "zhost/core/utf.h"
#include "zhost/editor/input.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/textfile.h"

#include <algorithm>
#include <istream>
#include <sstream>
#include <vector>

namespace zhost::ed {
namespace {

// Lines of a script in any of the encodings an editor saves: UTF-8 (with or without BOM) or
// UTF-16 with its BOM (little or big endian). A line ends at LF, CR LF or a lone CR, so a file
// saved with old Macintosh line ends is not one long line. Bytes are pulled one at a time so
// that a pipe can feed a running session and each line is answered as soon as it is complete.
class ScriptLineReader {
public:
    explicit ScriptLineReader(std::istream& in) : in_(in) {}

    bool next(std::wstring& line) {
        if (!started_)
            detectEncoding();
        line.clear();
        std::string utf8;
        bool any = false;
        while (true) {
            char32_t c = 0;
            if (!nextChar(c))
                break;
            any = true;
            if (c == U'\n' && afterCr_) { // the LF of a CR LF pair
                afterCr_ = false;
                any = false;
                continue;
            }
            afterCr_ = c == U'\r';
            if (c == U'\n' || c == U'\r') {
                finish(utf8, line);
                return true;
            }
            appendChar(c, utf8, line);
        }
        finish(utf8, line);
        return any;
    }

private:
    enum class Encoding { utf8, utf16le, utf16be };

    int byte() {
        const int c = in_.get();
        return c == std::char_traits<char>::eof() ? -1 : c;
    }

    void detectEncoding() {
        started_ = true;
        const int a = byte();
        if (a < 0)
            return;
        if (a == 0xFF || a == 0xFE || a == 0xEF) {
            const int b = byte();
            if (a == 0xFF && b == 0xFE)
                return void(encoding_ = Encoding::utf16le);
            if (a == 0xFE && b == 0xFF)
                return void(encoding_ = Encoding::utf16be);
            if (a == 0xEF && b == 0xBB) {
                const int c = byte();
                if (c == 0xBF)
                    return;
                lookahead_ = {a, b, c};
                return;
            }
            lookahead_ = {a, b};
            return;
        }
        lookahead_ = {a};
    }

    int rawByte() {
        if (!lookahead_.empty()) {
            const int b = lookahead_.front();
            lookahead_.erase(lookahead_.begin());
            return b;
        }
        return byte();
    }

    int unit16() {
        const int a = rawByte();
        if (a < 0)
            return -1;
        const int b = rawByte();
        if (b < 0)
            return 0xFFFD; // an odd byte at the end
        return encoding_ == Encoding::utf16le ? (b << 8 | a) : (a << 8 | b);
    }

    // One character: a code point for UTF-16, a byte for UTF-8 (decoded per line).
    bool nextChar(char32_t& c) {
        if (encoding_ == Encoding::utf8) {
            const int b = rawByte();
            if (b < 0)
                return false;
            c = char32_t(b);
            return true;
        }
        int u = pendingUnit_ >= 0 ? pendingUnit_ : unit16();
        pendingUnit_ = -1;
        if (u < 0)
            return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            const int low = unit16();
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
                return true;
            }
            pendingUnit_ = low;
            c = 0xFFFD;
            return true;
        }
        c = (u >= 0xDC00 && u <= 0xDFFF) ? 0xFFFD : char32_t(u);
        return true;
    }

    void appendChar(char32_t c, std::string& utf8, std::wstring& line) const {
        if (encoding_ == Encoding::utf8)
            utf8 += char(c);
        else
            line += wchar_t(c);
    }

    void finish(const std::string& utf8, std::wstring& line) const {
        if (encoding_ == Encoding::utf8)
            line = fromUtf8(utf8);
    }

    std::istream& in_;
    Encoding encoding_ = Encoding::utf8;
    bool started_ = false;
    bool afterCr_ = false;
    int pendingUnit_ = -1;
    std::vector<int> lookahead_;
};

// A script read line by line from a stream it may own (a file's bytes) or borrow (standard
// input, read lazily so that a pipe can feed a running session).
class StreamSource : public InputSource {
public:
    StreamSource(std::istream& in, std::wstring name) : reader_(in), name_(std::move(name)) {}
    StreamSource(std::unique_ptr<std::istream> owned, std::wstring name)
        : owned_(std::move(owned)), reader_(*owned_), name_(std::move(name)) {}

    bool readLine(std::wstring_view, InputLine& out) override {
        if (!reader_.next(out.text))
            return false;
        out.lineNumber = ++count_;
        out.sourceName = name_;
        return true;
    }

private:
    std::unique_ptr<std::istream> owned_;
    ScriptLineReader reader_;
    std::wstring name_;
    int count_ = 0;
};

// Lines given in advance.
class LineSource : public InputSource {
public:
    LineSource(std::vector<std::wstring> lines, std::wstring name)
        : lines_(std::move(lines)), name_(std::move(name)) {}

    bool readLine(std::wstring_view, InputLine& out) override {
        if (next_ >= lines_.size())
            return false;
        out.text = lines_[next_];
        out.lineNumber = int(next_) + 1;
        out.sourceName = name_;
        ++next_;
        return true;
    }

private:
    std::vector<std::wstring> lines_;
    std::wstring name_;
    size_t next_ = 0;
};

} // namespace

std::unique_ptr<InputSource> makeScriptFile(const std::filesystem::path& file, Status& status,
                                            std::wstring* reason) {
    std::string bytes;
    // Scripts are small; a bigger file is not a script.
    status = settings::readRegularFile(file, bytes, std::uintmax_t(256) << 20, reason);
    if (!ok(status))
        return nullptr;
    return std::make_unique<StreamSource>(std::make_unique<std::istringstream>(std::move(bytes)),
                                          settings::toWide(file.filename()));
}

std::unique_ptr<InputSource> makeScriptStream(std::istream& in, std::wstring sourceName) {
    return std::make_unique<StreamSource>(in, std::move(sourceName));
}

std::unique_ptr<InputSource> makeQueue(std::vector<std::wstring> lines) {
    return std::make_unique<LineSource>(std::move(lines), L"<queue>");
}

// --- The host clock --------------------------------------------------------------------------

HostClock& hostClock() {
    static HostClock clock;
    return clock;
}

HostClock::TimerId HostClock::addTimer(std::uint64_t intervalMs, TimerCallback callback) {
    if (intervalMs == 0 || !callback)
        return 0;
    const TimerId id = nextId_++;
    timers_.push_back({id, intervalMs, now_ + intervalMs, std::move(callback)});
    return id;
}

bool HostClock::removeTimer(TimerId id) {
    const auto it =
        std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == id; });
    if (it == timers_.end())
        return false;
    timers_.erase(it);
    return true;
}

void HostClock::advance(std::uint64_t ms) {
    const std::uint64_t target = now_ + ms;
    while (true) {
        // The earliest due timer at or before the target; ties fire in creation order.
        auto due = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (it->due <= target && (due == timers_.end() || it->due < due->due))
                due = it;
        if (due == timers_.end())
            break;
        now_ = due->due;
        due->due += due->interval;
        const TimerId id = due->id;
        TimerCallback cb = due->callback; // the callback may remove its own timer
        cb(id);
    }
    now_ = target;
}

void HostClock::reset() {
    now_ = 0;
    timers_.clear();
}

} // namespace zhost::ed
