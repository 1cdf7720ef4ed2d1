#pragma once
// Paths of the two plug-in builds and a transcript capture for tests that load them.
#include "zhost/editor/output.h"

#include <string>

inline std::string PluginPath(int api) {
    return std::string(ZORMA_BINARY_DIR) + (api == 23 ? "/lib/BX23TORV.so" : "/lib/BX24TORV.so");
}

// Collects the command line's output while alive.
class TranscriptCapture {
public:
    TranscriptCapture() {
        zhost::ed::setTranscriptSink([this](std::wstring_view t) { m_text.append(t); });
    }
    ~TranscriptCapture() { zhost::ed::setTranscriptSink({}); }
    TranscriptCapture(const TranscriptCapture&) = delete;
    TranscriptCapture& operator=(const TranscriptCapture&) = delete;

    const std::wstring& Text() const { return m_text; }
    void Clear() { m_text.clear(); }

private:
    std::wstring m_text;
};
