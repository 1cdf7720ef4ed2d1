#include "ezdxf.h"

#include "zorma_run.h"

#include <sstream>

namespace ztest {

namespace fs = std::filesystem;

bool HaveEzdxf() {
    static const bool have = RunProcess({kPython, "-c", "import ezdxf"}).exitCode == 0;
    return have;
}

ProcessResult RunPython(const fs::path& script, std::vector<std::string> args,
                        const ProcessOptions& options) {
    args.insert(args.begin(), {kPython, "-B", SourcePath(script).string()});
    return RunProcess(std::move(args), options);
}

EzdxfAudit AuditWithEzdxf(const fs::path& dxf) {
    EzdxfAudit a;
    a.run = RunPython("tests/support/ezdxf_audit.py", {dxf.string()});
    a.read = a.run.exitCode == 0;
    std::istringstream lines(a.run.out);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t sp = line.find(' ');
        const std::string key = line.substr(0, sp);
        const std::string rest = sp == std::string::npos ? "" : line.substr(sp + 1);
        if (key == "errors")
            a.errors = std::stoi(rest);
        else if (key == "fixes")
            a.fixes = std::stoi(rest);
        else if (key == "error" || key == "fix")
            a.messages.push_back(line);
        else if (key == "count" && rest.rfind(' ') != std::string::npos)
            a.modelSpace[rest.substr(0, rest.rfind(' '))] = std::stoi(rest.substr(rest.rfind(' ')));
    }
    return a;
}

::testing::AssertionResult PassesEzdxfAudit(const fs::path& dxf) {
    const EzdxfAudit a = AuditWithEzdxf(dxf);
    if (a.read && a.errors == 0 && a.fixes == 0)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    if (!a.read)
        return failure << "ezdxf could not read " << dxf.string() << a.run;
    failure << "ezdxf's audit of " << dxf.string() << ": " << a.errors << " errors, " << a.fixes
            << " fixes";
    for (const std::string& m : a.messages)
        failure << "\n  " << m;
    return failure;
}

} // namespace ztest
