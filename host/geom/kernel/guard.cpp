#include "guard.h"

#include "zhost/core/diagnostics.h"

#include <Standard_Type.hxx>

#include <cctype>
#include <sstream>

namespace zhost::geom::kernel {

namespace {

// The report's lines joined into one, without the trailing blanks the kernel leaves.
std::string oneLine(const std::string& text) {
    std::string out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        if (line.empty())
            continue;
        if (!out.empty())
            out += "; ";
        out += line;
    }
    return out;
}

} // namespace

Status kernelThrew(const char* operation, const Standard_Failure& failure, Status status) {
    // The exception's type is often the only message it has ("Standard_ConstructionError").
    std::string message = failure.DynamicType()->Name();
    const char* text = failure.GetMessageString();
    if (text != nullptr && *text != '\0')
        message += std::string(": ") + text;
    return kernelFailed(operation, message, status);
}

Status kernelFailed(const char* operation, const std::string& message, Status status) {
    reportDiagnostic({"kernel", operation, message});
    return status;
}

Status algorithmFailed(const char* operation, const std::string& errorReport) {
    std::string message = oneLine(errorReport);
    if (message.empty())
        message = "the algorithm did not finish";
    return kernelFailed(operation, message, Status::kernelFailure);
}

} // namespace zhost::geom::kernel
