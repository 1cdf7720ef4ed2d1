// The symbol drawings' parameters reproduce the published tables for every size and series, and
// the stored geometry is what the expressions give at the parameters' defaults.
#include "SymbolModel.h"
#include "zhost/core/utf.h"
#include "zhost/settings/privateprofile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace fs = std::filesystem;
using namespace sample;

namespace {

const std::map<std::string, DrawingRecords>& Symbols() {
    static const std::map<std::string, DrawingRecords> records = [] {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(ContentsDir() / "Symbols"))
            if (e.path().extension() == ".dxf")
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        std::string output;
        return ReadDrawings(files, output);
    }();
    return records;
}

const DrawingRecords& Symbol(const std::string& name) {
    static const DrawingRecords none;
    auto it = Symbols().find(name);
    return it == Symbols().end() ? none : it->second;
}

// Nominal diameter of each coarse thread size ("M10" -> 10).
std::map<std::string, double> NominalDiameters() {
    std::map<std::string, double> out;
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv"))
        if (r.at("kind") == "coarse")
            out[r.at("designation")] = std::stod(r.at("d_nominal"));
    return out;
}

bool IsMain(const TsvRow& r, const char* prefix) {
    return r.at("series").rfind(prefix, 0) == 0;
}

const std::set<std::string> kBindable = {"START.X",   "START.Y",    "END.X",      "END.Y",
                                         "CENTER.X",  "CENTER.Y",   "RADIUS",     "START_ANGLE",
                                         "END_ANGLE", "POSITION.X", "POSITION.Y", "SCALE.X",
                                         "SCALE.Y",   "VISIBLE",    "LAYER"};

bool IsBindable(const std::string& property) {
    if (kBindable.count(property))
        return true;
    if (property.rfind("BULGE", 0) == 0) // BULGE<i> of a polyline vertex
        return property.size() > 5;
    // Polyline vertices: V<i>.X, V<i>.Y
    return property.size() > 3 && property[0] == 'V' && property[property.size() - 2] == '.';
}

} // namespace

TEST(SymbolParameters, DeclareWhatThePlacementSets) {
    ASSERT_EQ(Symbols().size(), 28u);
    for (const auto& [name, r] : Symbols()) {
        SymbolModel m(r);
        for (const char* p : {"CS", "LineTypeHead", "LineTypeBody", "ShowCenterLine", "D"})
            EXPECT_TRUE(m.Has(p)) << name << " lacks " << p;
        // The front views of parts with a length are dragged to it; the other views, nuts,
        // washers and tapped holes are placed with an angle.
        const bool fixed = name.rfind("B1181_", 0) == 0 || name.rfind("B1256_", 0) == 0 ||
                           name.rfind("B0205_", 0) == 0;
        const bool dragged = !fixed && name.back() == '1';
        EXPECT_EQ(m.Has("LEN"), dragged) << name;
    }
}

TEST(SymbolParameters, EveryExpressionAndBindingEvaluates) {
    for (const auto& [name, r] : Symbols()) {
        SymbolModel m(r);
        std::string error;
        ASSERT_TRUE(m.Evaluate({}, error)) << name << ": " << error;
        ASSERT_FALSE(r.bindings.empty()) << name;
        for (const auto& b : r.bindings) {
            EXPECT_TRUE(IsBindable(b.property)) << name << ": " << b.property;
            double v = 0;
            EXPECT_TRUE(m.EvaluateExpression(b.expression, v, error)) << name << ": " << error;
            if (b.property == "LAYER") {
                EXPECT_EQ(b.choices, "AM_0,AM_3") << name;
            }
        }
    }
}

TEST(BoltSymbols, HeadFollowsJisB1180ForEverySizeAndSeries) {
    const auto d = NominalDiameters();
    const auto rows = ReadTsv("bolts_hex_jis_b1180.tsv");
    // The table this library is built on: JIS B 1180 gives M10 s = 16, k = 6.4 (main body) and
    // s = 17, k = 7 (annex JA).
    for (const TsvRow& r : rows) {
        if (r.at("size") == "M10") {
            EXPECT_EQ(r.at("s_nom") + "/" + r.at("k_nom"),
                      IsMain(r, "JIS_B1180_main") ? "16/6.4" : "17/7");
        }
    }
    for (const char* symbol :
         {"B1180_Partial_1", "B1180_Partial_0", "B1180_Full_1", "B1180_Full_0"}) {
        SymbolModel m(Symbol(symbol));
        for (const TsvRow& r : rows) {
            const double ja = IsMain(r, "JIS_B1180_main") ? 0 : 1;
            std::string error;
            ASSERT_TRUE(m.Evaluate({{"D", d.at(r.at("size"))}, {"JA", ja}}, error)) << error;
            EXPECT_DOUBLE_EQ(m["S"], std::stod(r.at("s_nom"))) << symbol << " " << r.at("size");
            EXPECT_DOUBLE_EQ(m["K"], std::stod(r.at("k_nom"))) << symbol << " " << r.at("size");
            EXPECT_NEAR(m["E"], m["S"] * 2 / std::sqrt(3.0), 1e-9);
        }
    }
}

TEST(BoltSymbols, ThreadLengthFollowsTheLengthRule) {
    const auto d = NominalDiameters();
    SymbolModel partial(Symbol("B1180_Partial_1"));
    for (const TsvRow& r : ReadTsv("bolts_hex_jis_b1180.tsv")) {
        if (!IsMain(r, "JIS_B1180_main"))
            continue;
        const double dn = d.at(r.at("size"));
        std::string error;
        ASSERT_TRUE(partial.Evaluate({{"D", dn}, {"LEN", 125}}, error)) << error;
        EXPECT_DOUBLE_EQ(partial["B"], std::min(125.0, std::stod(r.at("b_l_le_125"))));
        if (r.at("b_125_lt_l_le_200") != "n/a") {
            ASSERT_TRUE(partial.Evaluate({{"D", dn}, {"LEN", 180}}, error)) << error;
            EXPECT_DOUBLE_EQ(partial["B"], std::stod(r.at("b_125_lt_l_le_200")));
        }
        // Above 200 mm: b = 2d + 25.
        ASSERT_TRUE(partial.Evaluate({{"D", dn}, {"LEN", 240}}, error)) << error;
        EXPECT_DOUBLE_EQ(partial["B"], 2 * dn + 25);
        // A bolt shorter than its thread length is threaded all along.
        ASSERT_TRUE(partial.Evaluate({{"D", dn}, {"LEN", 10}}, error)) << error;
        EXPECT_DOUBLE_EQ(partial["B"], 10);
    }
    SymbolModel full(Symbol("B1180_Full_1"));
    std::string error;
    ASSERT_TRUE(full.Evaluate({{"D", 10}, {"LEN", 45}}, error)) << error;
    EXPECT_DOUBLE_EQ(full["B"], 45);
}

TEST(NutSymbols, FollowJisB1181ForEverySizeAndSeries) {
    const auto d = NominalDiameters();
    for (const char* symbol : {"B1181_HexNut_1", "B1181_HexNut_0"}) {
        SymbolModel m(Symbol(symbol));
        for (const TsvRow& r : ReadTsv("nuts_hex_jis_b1181.tsv")) {
            const bool main = IsMain(r, "JIS_B1181_main");
            std::string error;
            ASSERT_TRUE(m.Evaluate({{"D", d.at(r.at("size"))}, {"JA", main ? 0.0 : 1.0}}, error))
                << error;
            EXPECT_DOUBLE_EQ(m["S"], std::stod(r.at("s_nom"))) << symbol << " " << r.at("size");
            // The main body publishes m as a range; the drawing shows the largest height.
            EXPECT_DOUBLE_EQ(m["M"], std::stod(r.at(main ? "m_max" : "m_nom")))
                << symbol << " " << r.at("size");
        }
    }
}

TEST(WasherSymbols, FollowJisB1256ForEverySeriesPublished) {
    const auto d = NominalDiameters();
    // The series in the order of the dialog's "種類" options (the SER parameter).
    const std::vector<std::string> series = {"JIS_B1256_2008_normal", "JIS_B1256_2008_small",
                                             "JIS_B1256_1978_normal", "JIS_B1256_1978_small",
                                             "JIS_B1256_1963_normal", "JIS_B1256_1963_small"};
    int checked = 0;
    for (const char* symbol : {"B1256_PlainWasher_1", "B1256_PlainWasher_0"}) {
        SymbolModel m(Symbol(symbol));
        for (const TsvRow& r : ReadTsv("washers_plain_jis_b1256.tsv")) {
            if (r.at("d1_inner") == "NOT_FOUND")
                continue;
            double ser = -1;
            for (size_t i = 0; i < series.size(); ++i)
                if (r.at("series").rfind(series[i], 0) == 0)
                    ser = static_cast<double>(i);
            ASSERT_GE(ser, 0) << r.at("series");
            std::string error;
            ASSERT_TRUE(m.Evaluate({{"D", d.at(r.at("size"))}, {"SER", ser}}, error)) << error;
            EXPECT_DOUBLE_EQ(m["DI"], std::stod(r.at("d1_inner")))
                << r.at("series") << r.at("size");
            EXPECT_DOUBLE_EQ(m["DO"], std::stod(r.at("d2_outer")))
                << r.at("series") << r.at("size");
            EXPECT_DOUBLE_EQ(m["H"], std::stod(r.at("h_thickness")))
                << r.at("series") << r.at("size");
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2 * 56);
}

TEST(SymbolGeometry, StoredGeometryIsTheDefaultsEvaluated) {
    const DrawingRecords& bolt = Symbol("B1180_Partial_1");
    SymbolModel m(bolt);
    std::string error;
    ASSERT_TRUE(m.Evaluate({}, error)) << error;
    ASSERT_TRUE(bolt.extents.count("AM_0"));
    const auto& outline = bolt.extents.at("AM_0");
    EXPECT_NEAR(outline.minX, -m["K"], 1e-6);
    EXPECT_NEAR(outline.maxX, m["LEN"], 1e-6);
    EXPECT_NEAR(outline.maxY, m["E"] / 2, 1e-6);
    EXPECT_NEAR(outline.minY, -m["E"] / 2, 1e-6);
    const auto& centre = bolt.extents.at("AM_7");
    EXPECT_NEAR(centre.minX, -m["K"] - m["CS"], 1e-6);
    EXPECT_NEAR(centre.maxX, m["LEN"] + m["CS"], 1e-6);

    const DrawingRecords& washer = Symbol("B1256_PlainWasher_0");
    SymbolModel w(washer);
    ASSERT_TRUE(w.Evaluate({}, error)) << error;
    const auto& rim = washer.extents.at("AM_0");
    EXPECT_NEAR(rim.maxX - rim.minX, w["DO"], 1e-6);
    EXPECT_NEAR(rim.maxY, w["DO"] / 2, 1e-6);
}

TEST(SymbolParameters, DescriptionsSendOnlyDeclaredParameters) {
    int sent = 0;
    for (const auto& e : fs::directory_iterator(ContentsDir() / "Dlg")) {
        const std::wstring file = e.path().wstring();
        const std::string base = e.path().stem().string();
        for (const std::wstring& section :
             zhost::settings::getPrivateProfileSectionNames(32768, file)) {
            std::wstring value;
            zhost::settings::getPrivateProfileString(section, L"paramName", L"", value, 1024, file);
            if (value.empty())
                continue;
            const std::string parameter = zhost::toUtf8(value.substr(0, value.find(L':')));
            for (const char* view : {"_0", "_1"}) {
                SymbolModel m(Symbol(base + view));
                EXPECT_TRUE(m.Has(parameter)) << base << view << " lacks " << parameter;
            }
            ++sent;
        }
    }
    EXPECT_GE(sent, 9);
}
