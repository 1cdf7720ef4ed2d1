// Script, stream and queue input sources, and the host clock.
#include "zhost/core/utf.h"
#include "zhost/editor/input.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/textfile.h"

#include <algorithm>
#include <istream>
#include <sstream>

namespace zhost::ed {
namespace {

// Lines of UTF-8 text; a BOM and CR before LF are dropped.
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

std::vector<std::wstring> splitLines(std::istream& in) {
    std::vector<std::wstring> lines;
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        first = false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(fromUtf8(line));
    }
    return lines;
}

// Streams (standard input) are read lazily so that a pipe can feed a running session.
class StreamSource : public InputSource {
public:
    StreamSource(std::istream& in, std::wstring name) : in_(in), name_(std::move(name)) {}

    bool readLine(std::wstring_view, InputLine& out) override {
        std::string line;
        if (!std::getline(in_, line))
            return false;
        if (count_ == 0 && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.text = fromUtf8(line);
        out.lineNumber = ++count_;
        out.sourceName = name_;
        return true;
    }

private:
    std::istream& in_;
    std::wstring name_;
    int count_ = 0;
};

} // namespace

std::unique_ptr<InputSource> makeScriptFile(const std::filesystem::path& file, Status& status,
                                            std::wstring* reason) {
    std::string bytes;
    // Scripts are small; a bigger file is not a script.
    status = settings::readRegularFile(file, bytes, std::uintmax_t(256) << 20, reason);
    if (!ok(status))
        return nullptr;
    std::istringstream in(bytes);
    return std::make_unique<LineSource>(splitLines(in), settings::toWide(file.filename()));
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
