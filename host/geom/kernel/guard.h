#pragma once
// The one way out of Open CASCADE when it fails: an exception thrown inside the kernel becomes a
// Status, and the kernel's own words become a diagnostic (zhost/core/diagnostics.h), where a
// caller or `zorma run -v` can read them, instead of being caught and lost. Every call into the
// kernel that may throw runs inside guarded(). Include only under host/geom/kernel.
#include "zhost/core/status.h"

#include <Standard_Failure.hxx>

#include <exception>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>

namespace zhost::geom::kernel {

// Report what the kernel said (by an exception, or in words of ours) while doing `operation` and
// give back `status`.
Status kernelThrew(const char* operation, const Standard_Failure& failure,
                   Status status = Status::kernelFailure);
Status kernelFailed(const char* operation, const std::string& message,
                    Status status = Status::kernelFailure);
// An algorithm that failed without throwing (a Boolean that is not done or has errors): what
// its error report says, each alert's name, on one line.
Status algorithmFailed(const char* operation, const std::string& errorReport);
template <class Algorithm>
Status algorithmFailed(const char* operation, const Algorithm& algorithm) {
    std::ostringstream report;
    algorithm.DumpErrors(report);
    return algorithmFailed(operation, report.str());
}

// Runs `body`, which returns a Status (or nothing, meaning ok). A kernel exception, or a standard
// one such as an allocation failure on a huge input, gives `onFailure` with the message reported.
template <class Body>
Status guarded(const char* operation, Body&& body, Status onFailure = Status::kernelFailure) {
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
            body();
            return Status::ok;
        } else {
            return body();
        }
    } catch (const Standard_Failure& e) {
        return kernelThrew(operation, e, onFailure);
    } catch (const std::exception& e) {
        return kernelFailed(operation, std::string(e.what()), onFailure);
    }
}

} // namespace zhost::geom::kernel
