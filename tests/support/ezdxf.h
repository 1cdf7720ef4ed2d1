#pragma once
// The independent check of saved drawings with ezdxf (Debian's python3-ezdxf, run by
// /usr/bin/python3: the python3 first on PATH may be another one without it).
//
//   SKIP_WITHOUT_EZDXF();
//   EXPECT_TRUE(ztest::PassesEzdxfAudit(r.saved));
//   const ztest::EzdxfAudit a = ztest::AuditWithEzdxf(r.saved);
//   EXPECT_EQ(a.modelSpace.at("REGION"), 1);
#include "process.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace ztest {

inline const char* const kPython = "/usr/bin/python3";

// Whether /usr/bin/python3 can import ezdxf (asked once per test program).
bool HaveEzdxf();

// Runs a Python script of the source tree (path relative to it) with the arguments.
ProcessResult RunPython(const std::filesystem::path& script, std::vector<std::string> args,
                        const ProcessOptions& options = {});

struct EzdxfAudit {
    ProcessResult run;                     // the checker's own run, for messages
    bool read = false;                     // ezdxf could read the file at all
    int errors = -1;                       // errors while recovering and auditing
    int fixes = -1;                        // what the audit fixed
    std::vector<std::string> messages;     // the errors' and fixes' texts
    std::map<std::string, int> modelSpace; // entities by DXF kind
};

EzdxfAudit AuditWithEzdxf(const std::filesystem::path& dxf);

// Success when ezdxf reads the file with no error and nothing to fix; the failure lists what
// ezdxf found.
::testing::AssertionResult PassesEzdxfAudit(const std::filesystem::path& dxf);

} // namespace ztest

// Ends the test as skipped when ezdxf is missing.
#define SKIP_WITHOUT_EZDXF()                                                                       \
    do {                                                                                           \
        if (!::ztest::HaveEzdxf())                                                                 \
            GTEST_SKIP() << ::ztest::kPython << " cannot import ezdxf (python3-ezdxf)";            \
    } while (false)
