#include "geomcalc/GeomCalcReport.h"

#include "zhost/editor/format.h"
#include "zhost/editor/output.h"
#include "zhost/editor/sysvars.h"

namespace ed = zhost::ed;

std::wstring StripTrailingZeros(std::wstring text) {
    if (text.find(L'.') == std::wstring::npos)
        return text;
    while (text.size() > 1 && text.back() == L'0')
        text.pop_back();
    if (text.size() > 1 && text.back() == L'.')
        text.pop_back();
    return text;
}

std::wstring FormatReportNumber(double value, int precision) {
    std::wstring text;
    // A value the host cannot write (not finite, precision out of range) stays empty rather than
    // showing a number that is not there.
    if (ed::rToS(value, ed::units::decimal, precision, text) != ed::Result::normal)
        return std::wstring();
    return StripTrailingZeros(std::move(text));
}

namespace {

class CReportWriter {
public:
    CReportWriter(const CGeomCalcContext& ctx, ReportForm form, int precision,
                  std::vector<ReportRow>& rows)
        : m_ctx(ctx), m_dialog(form == ReportForm::dialog), m_precision(precision), m_rows(rows) {}

    void Write() {
        m_rows.clear();
        if (!m_dialog)
            Add(L"項目", L"データ");
        Add(L"<<中抜きなし情報>>", L"");
        Blank();
        if (On(kItemRefPoint))
            Add(ItemLabel(kItemRefPoint), XY(m_ctx.refPointUcs));
        for (size_t i = 0; i < m_ctx.results.size(); ++i) {
            if (i > 0) {
                Blank();
                Add(L"<<中抜き付加情報>>", L"");
                Blank();
            }
            WriteRecord(m_ctx.results[i], i == 0);
        }
    }

private:
    void WriteRecord(const RegionProperties& r, bool first) {
        if (On(kItemPerimeter))
            Add(L"周長", ed::format(L"%s(mm)", Num(r.perimeter)));
        if (On(kItemArea))
            Add(L"面積", ed::format(L"%s(mm2)", Num(r.area)));
        if (On(kItemVolume))
            Add(L"回転体体積", ed::format(L"%s(mm3)", Num(r.volume)));
        if (On(kItemWeight))
            Add(L"回転体重さ", ed::format(L"%s(g)", Num(r.weight)));
        // The centroid comes before the centroid relative to the reference point, although
        // the switches list them the other way round.
        if (On(kItemCentroid))
            Add(first ? L"重心位置(赤色点)" : L"重心位置(緑色点)", XY(r.centroidUcs));
        if (On(kItemCentroidRel))
            Add(L"重心位置(指示点基準)", XY(r.centroidRelUcs));
        if (On(kItemMomentCentroid))
            Add(L"断面2次モーメント(重心基準)", Moments(r.momentCentroid));
        if (On(kItemPolarCentroid))
            Add(L"Ip = Ix + Iy",
                ed::format(L"%s(mm4)", Num(r.momentCentroid[0] + r.momentCentroid[1])));
        if (On(kItemMomentRef))
            Add(L"断面2次モーメント(指示点基準)", Moments(r.momentRef));
        if (On(kItemPolarRef))
            Add(L"Ip = Ix + Iy", ed::format(L"%s(mm4)", Num(r.momentRef[0] + r.momentRef[1])));
    }

    bool On(int item) const { return m_ctx.items[item]; }
    std::wstring Num(double v) const { return FormatReportNumber(v, m_precision); }
    const wchar_t* Sep() const { return m_dialog ? L" " : L"\n"; }
    std::wstring XY(const zhost::geom::Point3d& p) const {
        return ed::format(L"X = %s", Num(p.x)) + Sep() + ed::format(L"Y = %s", Num(p.y));
    }
    std::wstring Moments(const double (&m)[2]) const {
        return ed::format(L"Ix = %s(mm4)", Num(m[0])) + Sep() +
               ed::format(L"Iy = %s(mm4)", Num(m[1]));
    }
    void Add(std::wstring item, std::wstring data) {
        m_rows.push_back({std::move(item), std::move(data)});
    }
    void Blank() {
        if (m_dialog)
            Add(L"", L"");
    }

    const CGeomCalcContext& m_ctx;
    bool m_dialog;
    int m_precision;
    std::vector<ReportRow>& m_rows;
};

} // namespace

void BuildReport(const CGeomCalcContext& ctx, ReportForm form, int precision,
                 std::vector<ReportRow>& rows) {
    CReportWriter(ctx, form, precision, rows).Write();
}

void BuildReport(const CGeomCalcContext& ctx, ReportForm form, std::vector<ReportRow>& rows) {
    int precision = 4;
    if (!zhost::ok(ed::getVarInt(L"LUPREC", precision)))
        precision = 4;
    BuildReport(ctx, form, precision, rows);
}
