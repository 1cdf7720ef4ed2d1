// Every sample part, every size, every nominal length: the symbol as the host places it (our
// DXF reader, the parametric evaluation, explode) measures what the JIS tables in tools/jis say,
// within 0.01. The expected figures are read from the tables here, independently of the
// generator; the nominal lengths come from PartsContentsY.txt through the add-on's reader.
#include "SymbolMeasure.h"

#include "library/LibraryPaths.h"
#include "library/PartsYobi.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sample;

namespace {

constexpr double kTol = 0.01;
const std::set<std::wstring> kOutline{L"AM_0"};
const std::set<std::wstring> kThread{L"AM_4"};
const std::set<std::wstring> kHidden{L"AM_3"};

bool IsNumber(const std::string& text) {
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

double Num(const TsvRow& r, const std::string& column) {
    return std::stod(r.at(column));
}

// Rows of a table keyed by one column ("size"), optionally only those whose `filter` column
// starts with a prefix.
std::map<std::string, TsvRow> Rows(const std::string& table, const std::string& key = "size",
                                   const std::string& filter = "", const std::string& prefix = "") {
    std::map<std::string, TsvRow> out;
    for (const TsvRow& r : ReadTsv(table))
        if (filter.empty() || r.at(filter).rfind(prefix, 0) == 0)
            out[r.at(key)] = r;
    return out;
}

std::map<std::string, double> Diameters() {
    std::map<std::string, double> d;
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv"))
        if (r.at("kind") == "coarse")
            d[r.at("designation")] = Num(r, "d_nominal");
    return d;
}

double Pitch(const std::string& size) {
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv"))
        if (r.at("designation") == size)
            return Num(r, "P");
    return 0;
}

// The nominal lengths of a part's size as the jig offers them.
std::vector<double> Lengths(const wchar_t* part, const std::string& size, int variant = 0) {
    CLibraryPaths paths;
    MakeLibraryPaths((ProductDir() / "PartsData").wstring(), paths);
    CPartsYobi yobi;
    std::vector<double> out;
    if (!yobi.LoadFile(paths.m_nominalSizeFile, part, variant) ||
        !yobi.Restrict(zhost::fromUtf8(size)))
        return out;
    for (const std::wstring& l : yobi.GetLengths())
        out.push_back(std::stod(zhost::toUtf8(l)));
    return out;
}

double Width(const zhost::geom::Extents3d& e) {
    return e.maxPoint.x - e.minPoint.x;
}
double Height(const zhost::geom::Extents3d& e) {
    return e.maxPoint.y - e.minPoint.y;
}

// A case: the symbol placed with these values, for the failure messages.
std::string Case(const std::string& symbol, const std::map<std::string, double>& values) {
    std::string text = symbol;
    for (const auto& [k, v] : values)
        text += " " + k + "=" + std::to_string(v);
    return text;
}

// The end of the thread roots (thin lines) is the thread end: measured thread length b.
double ThreadLength(const PlacedSymbol& s, double end) {
    return end - s.Extents(kThread).minPoint.x;
}

// The thread end of an externally threaded part by the ISO 888 rule of the bolt tables: b for
// l <= 125, b2 up to 200, 2d + 25 above; never longer than the shank.
double BoltThread(const TsvRow& r, double d, double l) {
    const double b1 = Num(r, "b_l_le_125");
    const std::string b2text = r.at("b_125_lt_l_le_200");
    const double b2 = (b2text == "n/a" || b2text.empty()) ? 2 * d + 12 : std::stod(b2text);
    const double b = l <= 125 ? b1 : (l <= 200 ? b2 : 2 * d + 25);
    return std::min(b, l);
}

} // namespace

TEST(SymbolDimensions, HexBoltsHeadAcrossCornersAndThreadLengthAtEveryLength) {
    const auto d = Diameters();
    const auto main = Rows("bolts_hex_jis_b1180.tsv", "size", "series", "JIS_B1180_main_body");
    const auto annex = Rows("bolts_hex_jis_b1180.tsv", "size", "series", "JIS_B1180_annex");
    for (const bool full : {false, true}) {
        const std::string name = full ? "B1180_Full" : "B1180_Partial";
        PlacedSymbol front(name + "_1"), end(name + "_0");
        ASSERT_TRUE(front.ok() && end.ok()) << front.message() << end.message();
        for (const int ja : {0, 1}) {
            for (const auto& [size, row] : ja ? annex : main) {
                const std::vector<double> lengths =
                    Lengths(zhost::fromUtf8(name).c_str(), size, ja);
                ASSERT_FALSE(lengths.empty()) << name << " " << size;
                for (double l : lengths) {
                    const std::map<std::string, double> v{
                        {"D", d.at(size)}, {"LEN", l}, {"JA", double(ja)}};
                    std::string error;
                    ASSERT_TRUE(front.Place(v, error)) << error;
                    SCOPED_TRACE(Case(name, v));
                    const auto outline = front.Extents(kOutline);
                    EXPECT_NEAR(-outline.minPoint.x, Num(row, "k_nom"), kTol);
                    EXPECT_NEAR(outline.maxPoint.x, l, kTol);
                    EXPECT_NEAR(Height(outline), 2 * Num(row, "s_nom") / std::sqrt(3.0), kTol);
                    const TsvRow& threadRow = main.at(size); // b follows the main body's table
                    EXPECT_NEAR(ThreadLength(front, l),
                                full ? l : BoltThread(threadRow, d.at(size), l), kTol);
                }
                std::string error;
                ASSERT_TRUE(end.Place({{"D", d.at(size)}, {"JA", double(ja)}}, error)) << error;
                EXPECT_NEAR(Height(end.Extents(kOutline)), Num(row, "s_nom"), kTol) << size;
                EXPECT_NEAR(Width(end.Extents(kOutline)), 2 * Num(row, "s_nom") / std::sqrt(3.0),
                            kTol)
                    << size;
            }
        }
    }
}

TEST(SymbolDimensions, HexNutsOfEveryStyleAndThinNuts) {
    const auto d = Diameters();
    struct Series {
        std::string symbol;
        int ja;
        std::map<std::string, TsvRow> rows;
        std::string s, m;
    };
    const std::vector<Series> series = {
        {"B1181_HexNut", 0, Rows("nuts_hex_jis_b1181.tsv", "size", "series", "JIS_B1181_main"),
         "s_nom", "m_max"},
        {"B1181_HexNut", 1, Rows("nuts_hex_jis_b1181.tsv", "size", "series", "JIS_B1181_annex"),
         "s_nom", "m_nom"},
        {"B1181_HexNut", 2, Rows("nuts_extra_jis_b1181.tsv", "size", "series", "style2"), "s", "m"},
        {"B1181_ThinNut", 0, Rows("nuts_extra_jis_b1181.tsv", "size", "series", "thin(=ISO"), "s",
         "m"},
        {"B1181_ThinNut", 1, Rows("nuts_extra_jis_b1181.tsv", "size", "series", "thin_annex"), "s",
         "m"},
    };
    for (const Series& sr : series) {
        PlacedSymbol front(sr.symbol + "_1"), top(sr.symbol + "_0");
        ASSERT_TRUE(front.ok() && top.ok()) << front.message() << top.message();
        ASSERT_FALSE(sr.rows.empty()) << sr.symbol << " " << sr.ja;
        for (const auto& [size, row] : sr.rows) {
            const std::map<std::string, double> v{{"D", d.at(size)}, {"JA", double(sr.ja)}};
            SCOPED_TRACE(Case(sr.symbol, v));
            std::string error;
            ASSERT_TRUE(front.Place(v, error)) << error;
            EXPECT_NEAR(Width(front.Extents(kOutline)), Num(row, sr.m), kTol);
            EXPECT_NEAR(Height(front.Extents(kOutline)), 2 * Num(row, sr.s) / std::sqrt(3.0), kTol);
            // The thread, hidden in the front view: major diameter d.
            EXPECT_NEAR(Height(front.Extents(kHidden)), d.at(size), kTol);
            ASSERT_TRUE(top.Place(v, error)) << error;
            EXPECT_NEAR(Height(top.Extents(kOutline)), Num(row, sr.s), kTol);
            EXPECT_NEAR(Width(top.Extents(kThread)), d.at(size), kTol);
        }
    }
}

TEST(SymbolDimensions, PlainWashersOfEverySeries) {
    const auto d = Diameters();
    const char* series[] = {"JIS_B1256_2008_normal", "JIS_B1256_2008_small",
                            "JIS_B1256_1978_normal", "JIS_B1256_1978_small",
                            "JIS_B1256_1963_normal", "JIS_B1256_1963_small"};
    PlacedSymbol section("B1256_PlainWasher_1"), plan("B1256_PlainWasher_0");
    ASSERT_TRUE(section.ok() && plan.ok()) << section.message() << plan.message();
    for (int k = 0; k < 6; ++k) {
        for (const auto& [size, row] :
             Rows("washers_plain_jis_b1256.tsv", "size", "series", series[k])) {
            // A series the standard does not publish at this size is drawn with another.
            if (!IsNumber(row.at("d1_inner")) || !d.count(size))
                continue;
            const std::map<std::string, double> v{{"D", d.at(size)}, {"SER", double(k)}};
            SCOPED_TRACE(Case("B1256_PlainWasher", v));
            std::string error;
            ASSERT_TRUE(section.Place(v, error)) << error;
            EXPECT_NEAR(Width(section.Extents(kOutline)), Num(row, "h_thickness"), kTol);
            EXPECT_NEAR(Height(section.Extents(kOutline)), Num(row, "d2_outer"), kTol);
            // The bore: the horizontal edges nearest the axis.
            const auto [from, to] = section.HorizontalRangeAt(Num(row, "d1_inner") / 2, kOutline);
            EXPECT_NEAR(to - from, Num(row, "h_thickness"), kTol);
            ASSERT_TRUE(plan.Place(v, error)) << error;
            EXPECT_NEAR(Width(plan.Extents(kOutline)), Num(row, "d2_outer"), kTol);
        }
    }
}

TEST(SymbolDimensions, SocketHeadCapScrewsHeadSocketAndThreadToTheHeadRule) {
    const auto d = Diameters();
    PlacedSymbol front("B1176_SocketHead_1"), end("B1176_SocketHead_0");
    ASSERT_TRUE(front.ok() && end.ok()) << front.message() << end.message();
    for (const auto& [size, row] : Rows("screws_socket_head_jis_b1176.tsv")) {
        const std::vector<double> lengths = Lengths(L"B1176_SocketHead", size);
        ASSERT_FALSE(lengths.empty()) << size;
        EXPECT_NEAR(lengths.front(), Num(row, "l_min"), kTol) << size;
        EXPECT_NEAR(lengths.back(), Num(row, "l_max"), kTol) << size;
        for (double l : lengths) {
            const std::map<std::string, double> v{{"D", d.at(size)}, {"LEN", l}, {"SOCKETVIEW", 1}};
            SCOPED_TRACE(Case("B1176_SocketHead_1", v));
            std::string error;
            ASSERT_TRUE(front.Place(v, error)) << error;
            const auto outline = front.Extents(kOutline);
            EXPECT_NEAR(-outline.minPoint.x, Num(row, "k"), kTol);
            EXPECT_NEAR(Height(outline), Num(row, "dk"), kTol);
            EXPECT_NEAR(outline.maxPoint.x, l, kTol);
            const double b = l <= Num(row, "l_full_max") ? l : Num(row, "b");
            EXPECT_NEAR(ThreadLength(front, l), b, kTol);
            // The socket, shown hidden: depth t, across corners 2s/sqrt(3).
            const auto socket = front.Extents(kHidden);
            EXPECT_NEAR(Width(socket), Num(row, "t"), kTol);
            EXPECT_NEAR(Height(socket), 2 * Num(row, "s") / std::sqrt(3.0), kTol);
        }
        std::string error;
        ASSERT_TRUE(end.Place({{"D", d.at(size)}}, error)) << error;
        EXPECT_NEAR(Width(end.Extents(kOutline)), Num(row, "dk"), kTol) << size;
        const std::wstring hex = L"ZS_HEX_UNIT";
        EXPECT_NEAR(Height(end.Extents(kOutline, &hex)), Num(row, "s"), kTol) << size;
    }
}

TEST(SymbolDimensions, CountersunkScrewsHeadAndThread) {
    const auto d = Diameters();
    struct Kind {
        std::string name, table, head;
    };
    for (const Kind& kind : {Kind{"B1194_SocketCsk", "screws_socket_csk_jis_b1194.tsv", ""},
                             Kind{"B1111_CskCross", "screws_cross_jis_b1111.tsv", "countersunk"}}) {
        PlacedSymbol front(kind.name + "_1"), end(kind.name + "_0");
        ASSERT_TRUE(front.ok() && end.ok()) << front.message() << end.message();
        const auto rows =
            kind.head.empty() ? Rows(kind.table) : Rows(kind.table, "size", "head", kind.head);
        ASSERT_FALSE(rows.empty());
        for (const auto& [size, row] : rows) {
            const std::vector<double> lengths = Lengths(zhost::fromUtf8(kind.name).c_str(), size);
            ASSERT_FALSE(lengths.empty()) << kind.name << " " << size;
            for (double l : lengths) {
                const std::map<std::string, double> v{{"D", d.at(size)}, {"LEN", l}};
                SCOPED_TRACE(Case(kind.name, v));
                std::string error;
                ASSERT_TRUE(front.Place(v, error)) << error;
                const auto outline = front.Extents(kOutline);
                EXPECT_NEAR(outline.minPoint.x, 0, kTol); // the flush top face
                EXPECT_NEAR(outline.maxPoint.x, l, kTol); // the length includes the head
                EXPECT_NEAR(Height(outline), Num(row, "dk"), kTol);
                const double k = Num(row, "k");
                // The 90-degree head ends where the shank begins: the first line across.
                EXPECT_NEAR(front.VerticalsX(kOutline).at(1), k, kTol);
                EXPECT_NEAR(front.VerticalSpanAt(k, kOutline), d.at(size), kTol);
                const double b = kind.head.empty()
                                     ? std::min(Num(row, "b"), l - k)
                                     : (l <= Num(row, "l_full_max") ? l - k : Num(row, "b"));
                EXPECT_NEAR(ThreadLength(front, l), b, kTol);
            }
            std::string error;
            ASSERT_TRUE(end.Place({{"D", d.at(size)}}, error)) << error;
            EXPECT_NEAR(Width(end.Extents(kOutline)), Num(row, "dk"), kTol) << size;
        }
    }
}

TEST(SymbolDimensions, PanHeadScrewsHeadAndThread) {
    const auto d = Diameters();
    PlacedSymbol front("B1111_PanCross_1");
    ASSERT_TRUE(front.ok()) << front.message();
    for (const auto& [size, row] : Rows("screws_cross_jis_b1111.tsv", "size", "head", "pan")) {
        for (double l : Lengths(L"B1111_PanCross", size)) {
            const std::map<std::string, double> v{{"D", d.at(size)}, {"LEN", l}};
            SCOPED_TRACE(Case("B1111_PanCross_1", v));
            std::string error;
            ASSERT_TRUE(front.Place(v, error)) << error;
            const auto outline = front.Extents(kOutline);
            EXPECT_NEAR(-outline.minPoint.x, Num(row, "k"), kTol); // the crown's top
            EXPECT_NEAR(Height(outline), Num(row, "dk"), kTol);
            EXPECT_NEAR(outline.maxPoint.x, l, kTol);
            const double b = l <= Num(row, "l_full_max") ? l : Num(row, "b");
            EXPECT_NEAR(ThreadLength(front, l), b, kTol);
        }
    }
}

TEST(SymbolDimensions, SetScrewsOfEveryPointAndTheirLengths) {
    const auto d = Diameters();
    PlacedSymbol front("B1177_SetScrew_1");
    ASSERT_TRUE(front.ok()) << front.message();
    for (const auto& [size, row] : Rows("set_screws_jis_b1177.tsv")) {
        for (int point = 0; point < 4; ++point) {
            const std::vector<double> lengths = Lengths(L"B1177_SetScrew", size, point);
            ASSERT_FALSE(lengths.empty()) << size << " point " << point;
            const bool dog = point == 2;
            EXPECT_NEAR(lengths.front(), Num(row, dog ? "l_min_dog" : "l_min_flat"), kTol);
            EXPECT_NEAR(lengths.back(), Num(row, dog ? "l_max_dog" : "l_max_flat"), kTol);
            for (double l : lengths) {
                const std::map<std::string, double> v{
                    {"D", d.at(size)}, {"LEN", l}, {"PT", double(point)}};
                SCOPED_TRACE(Case("B1177_SetScrew_1", v));
                std::string error;
                ASSERT_TRUE(front.Place(v, error)) << error;
                EXPECT_NEAR(Width(front.Extents(kOutline)), l, kTol);
                EXPECT_NEAR(Height(front.Extents(kOutline)), d.at(size), kTol);
                // The end face: point diameter dp (flat, dog), dt (cone), dz (cup).
                const char* tip = point == 1 ? "dt" : (point == 3 ? "dz" : "dp");
                EXPECT_NEAR(front.VerticalSpanAt(l, kOutline), Num(row, tip), kTol);
                if (dog) {
                    const auto [from, to] = front.HorizontalRangeAt(Num(row, "dp") / 2, kOutline);
                    EXPECT_NEAR(to - from, Num(row, "z"), kTol);
                }
                const auto socket = front.Extents(kHidden);
                EXPECT_NEAR(Width(socket), Num(row, "t"), kTol);
                EXPECT_NEAR(Height(socket), 2 * Num(row, "s") / std::sqrt(3.0), kTol);
            }
        }
    }
}

TEST(SymbolDimensions, StudsMetalEndByTypeAndNutEndThread) {
    const auto d = Diameters();
    PlacedSymbol front("B1173_Studs_1");
    ASSERT_TRUE(front.ok()) << front.message();
    const double factor[] = {1.0, 1.25, 1.5};
    for (const auto& [size, row] : Rows("studs_jis_b1173.tsv")) {
        for (int type = 0; type < 3; ++type) {
            for (double l : Lengths(L"B1173_Studs", size)) {
                const std::map<std::string, double> v{
                    {"D", d.at(size)}, {"LEN", l}, {"BMT", double(type)}};
                SCOPED_TRACE(Case("B1173_Studs_1", v));
                std::string error;
                ASSERT_TRUE(front.Place(v, error)) << error;
                // The metal end lies in its tapped hole: drawn hidden by default.
                const auto metal = front.Extents(kHidden);
                EXPECT_NEAR(-metal.minPoint.x, factor[type] * d.at(size), kTol);
                EXPECT_NEAR(Height(metal), d.at(size), kTol);
                EXPECT_NEAR(front.Extents(kOutline).maxPoint.x, l, kTol);
                EXPECT_NEAR(ThreadLength(front, l), std::min(Num(row, "b"), l), kTol);
            }
        }
    }
}

TEST(SymbolDimensions, ParallelAndSplitPins) {
    PlacedSymbol pin("B1354_ParallelPin_1"), split("B1351_SplitPin_1");
    ASSERT_TRUE(pin.ok() && split.ok()) << pin.message() << split.message();
    for (const auto& [size, row] : Rows("pins_parallel_jis_b1354.tsv")) {
        for (int hardened = 0; hardened < 2; ++hardened) {
            const std::vector<double> lengths = Lengths(L"B1354_ParallelPin", size, hardened);
            if (hardened && row.at("l_min_8734").empty()) {
                EXPECT_TRUE(lengths.empty()) << size; // ISO 8734 stops at 20 mm
                continue;
            }
            ASSERT_FALSE(lengths.empty()) << size;
            for (double l : lengths) {
                const std::map<std::string, double> v{
                    {"D", Num(row, "d")}, {"LEN", l}, {"HARD", double(hardened)}};
                SCOPED_TRACE(Case("B1354_ParallelPin_1", v));
                std::string error;
                ASSERT_TRUE(pin.Place(v, error)) << error;
                EXPECT_NEAR(Width(pin.Extents(kOutline)), l, kTol);
                EXPECT_NEAR(Height(pin.Extents(kOutline)), Num(row, "d"), kTol);
                EXPECT_NEAR(pin.VerticalSpanAt(l, kOutline), Num(row, "d") - 2 * Num(row, "c"),
                            kTol);
            }
        }
    }
    for (const auto& [size, row] : Rows("pins_split_jis_b1351.tsv")) {
        for (double l : Lengths(L"B1351_SplitPin", size)) {
            const std::map<std::string, double> v{{"D", std::stod(size)}, {"LEN", l}};
            SCOPED_TRACE(Case("B1351_SplitPin_1", v));
            std::string error;
            ASSERT_TRUE(split.Place(v, error)) << error;
            const auto outline = split.Extents(kOutline);
            EXPECT_NEAR(Height(outline), Num(row, "c"), kTol);        // the eye
            EXPECT_NEAR(outline.maxPoint.x, l + Num(row, "a"), kTol); // the longer leg
            EXPECT_NEAR(split.VerticalSpanAt(l, kOutline), Num(row, "d") / 2, kTol);
        }
    }
}

TEST(SymbolDimensions, TappedHolesDrillThreadAndPoint) {
    const auto d = Diameters();
    PlacedSymbol front("B0205_TappedHole_1"), end("B0205_TappedHole_0");
    ASSERT_TRUE(front.ok() && end.ok()) << front.message() << end.message();
    for (const TsvRow& r : ReadTsv("threads_metric_jis_b0205.tsv")) {
        if (r.at("kind") != "coarse")
            continue;
        const std::string size = r.at("designation");
        const double dd = d.at(size), d1 = Num(r, "d1_D1_basic_minor");
        const double thread = 1.5 * dd, drill = thread + 3 * Pitch(size);
        for (int through = 0; through < 2; ++through) {
            const std::map<std::string, double> v{
                {"D", dd}, {"TDEP", thread}, {"DRILL", drill}, {"THRU", double(through)}};
            SCOPED_TRACE(Case("B0205_TappedHole_1", v));
            std::string error;
            ASSERT_TRUE(front.Place(v, error)) << error;
            EXPECT_NEAR(Width(front.Extents(kThread)), thread, kTol);
            EXPECT_NEAR(Height(front.Extents(kThread)), dd, kTol);
            const auto [from, to] = front.HorizontalRangeAt(d1 / 2, kOutline, 0.005);
            EXPECT_NEAR(to - from, through ? thread : drill, kTol);
            // The 118-degree drill point of a blind hole.
            const double tip = through ? thread : drill + d1 / 2 / std::tan(59 * M_PI / 180);
            EXPECT_NEAR(front.Extents(kOutline).maxPoint.x, tip, kTol);
        }
        std::string error;
        ASSERT_TRUE(end.Place({{"D", dd}}, error)) << error;
        EXPECT_NEAR(Width(end.Extents(kOutline)), d1, kTol) << size;
        EXPECT_NEAR(Width(end.Extents(kThread)), dd, kTol) << size;
    }
}
