// The descriptions as the condition dialog's loader reads them, against what the library check
// followed.
#include "SampleTestUtil.h"

#include "library/LibraryIni.h"
#include "library/LibraryText.h"
#include "selection/PartDescription.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace sample;

// Every description loads with the condition dialog's own loader, which sees the controls the
// library check followed, in file order, and every rule entry.
TEST(SampleDescriptions, EveryDescriptionLoadsWithTheDialogsLoader) {
    int parts = 0;
    for (const auto& e : fs::directory_iterator(ContentsDir() / "Dlg")) {
        const std::wstring base = e.path().stem().wstring();
        SCOPED_TRACE(e.path().filename().string());
        PartDescription description;
        description.SetLibraryRoot((ProductDir() / "PartsData").wstring());
        const int count = description.Load(base);
        const std::vector<CIniSection> sections =
            ScanLibraryIni(DecodeLibraryText(ReadBytes(e.path())));
        std::vector<std::wstring> expected;
        size_t rules = 0;
        for (const CIniSection& s : sections) {
            ControlKind kind;
            if (ControlKindFromSectionName(s.m_name, kind))
                expected.push_back(s.m_name);
            if (s.m_name == L"error")
                rules = s.m_keys.size();
        }
        ASSERT_EQ(count, static_cast<int>(expected.size()));
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(description.m_params[i].m_name, expected[i]);
        EXPECT_EQ(description.m_error.size(), rules);
        EXPECT_NE(description.FindKind(ControlKind::Header), nullptr);
        EXPECT_NE(description.FindKind(ControlKind::Drawing), nullptr);
        ++parts;
    }
    EXPECT_EQ(parts, 14);
}

// Option captions are comma fields, so a comma inside a caption splits one option in two and
// shifts every rule that names an option by its index. A caption cut that way leaves a bracket
// open on one side and closed on the other.
TEST(SampleDescriptions, NoOptionCaptionIsCutByAComma) {
    for (const auto& e : fs::directory_iterator(ContentsDir() / "Dlg")) {
        SCOPED_TRACE(e.path().filename().string());
        PartDescription description;
        description.SetLibraryRoot((ProductDir() / "PartsData").wstring());
        ASSERT_GT(description.Load(e.path().stem().wstring()), 0);
        for (const CParam& p : description.m_params) {
            if (p.m_selection.empty())
                continue;
            for (const std::wstring& option : SplitTrimmed(p.m_selection, L",")) {
                int depth = 0;
                for (wchar_t c : option) {
                    depth += (c == L'(' || c == L'（') ? 1 : (c == L')' || c == L'）') ? -1 : 0;
                    EXPECT_GE(depth, 0)
                        << "option of " << std::string(p.m_name.begin(), p.m_name.end());
                }
                EXPECT_EQ(depth, 0)
                    << "option of " << std::string(p.m_name.begin(), p.m_name.end());
            }
        }
    }
}
