#include "zhost/core/diagnostics.h"

#include <mutex>
#include <utility>

namespace zhost {

namespace {

struct Sink {
    std::mutex mutex;
    DiagnosticSink sink;
};

Sink& sink() {
    static Sink s;
    return s;
}

Diagnostic& last() {
    thread_local Diagnostic d;
    return d;
}

} // namespace

void reportDiagnostic(Diagnostic d) {
    last() = d;
    Sink& s = sink();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.sink)
        s.sink(d);
}

const Diagnostic& lastDiagnostic() {
    return last();
}

void clearLastDiagnostic() {
    last() = {};
}

std::string toString(const Diagnostic& d) {
    std::string out = d.source.empty() ? std::string("diagnostic") : d.source;
    if (!d.operation.empty())
        out += ": " + d.operation;
    return out + ": " + (d.message.empty() ? std::string("(no message)") : d.message);
}

DiagnosticSink setDiagnosticSink(DiagnosticSink s) {
    Sink& shared = sink();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return std::exchange(shared.sink, std::move(s));
}

} // namespace zhost
