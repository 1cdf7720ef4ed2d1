// Feeds arbitrary bytes to what recognises a placed part: the part-record reader (as an xdata
// chain of any items in any order) and the earlier library's code decoder with its catalogue
// candidate search. Damaged drawings reach both, so neither may crash, hang or read past a
// buffer, and the decoder must answer -1/-1 whenever it refuses.
#include "placement/LegacyCode.h"
#include "placement/PartCandidates.h"
#include "placement/PartRecord.h"
#include "selection/PartDescription.h"

#include "zhost/db/xdata.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace db = zhost::db;

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_at >= m_size; }
    std::uint8_t Next() { return Empty() ? 0 : m_data[m_at++]; }
    // A short text: a length byte, then that many characters widened from bytes (or pairs of
    // bytes when the length's top bit is set, so that any UTF-16 unit can appear).
    std::wstring Text() {
        const std::uint8_t head = Next();
        const bool wide = head & 0x80;
        std::wstring s;
        for (int i = 0; i < (head & 0x7f) && !Empty(); ++i)
            s.push_back(wide ? static_cast<wchar_t>(Next() << 8 | Next())
                             : static_cast<wchar_t>(Next()));
        return s;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

constexpr int kCodes[] = {db::xcode::string,  db::xcode::appName,
                          db::xcode::control, db::xcode::layerName,
                          db::xcode::handle,  db::xcode::point,
                          db::xcode::real,    db::xcode::int16,
                          db::xcode::int32,   0};

db::XData Chain(Bytes& in) {
    db::XData chain;
    while (!in.Empty() && chain.size() < 4096) {
        const int code = kCodes[in.Next() % std::size(kCodes)];
        switch (db::resTypeOf(code)) {
        case db::ResType::string:
            chain.emplace_back(code, in.Text());
            break;
        case db::ResType::integer:
            chain.emplace_back(code, static_cast<std::int32_t>(in.Next() << 8 | in.Next()) - 32768);
            break;
        case db::ResType::real:
            chain.emplace_back(code, static_cast<double>(in.Next()) - 128.0);
            break;
        case db::ResType::point:
            chain.emplace_back(code, zhost::geom::Point3d(in.Next(), in.Next(), in.Next()));
            break;
        case db::ResType::none:
            chain.emplace_back();
            break;
        }
    }
    return chain;
}

// A description with one control of every kind, named as records name them.
PartDescription Description() {
    static const struct {
        ControlKind kind;
        const wchar_t* name;
    } kControls[] = {{ControlKind::Drawing, L"Drawing"},     {ControlKind::List, L"List1"},
                     {ControlKind::Radio, L"Radio1"},        {ControlKind::Check, L"Check1"},
                     {ControlKind::Edit, L"Edit1"},          {ControlKind::Quality, L"Quality"},
                     {ControlKind::Label, L"Label1"},        {ControlKind::Header, L"Header"},
                     {ControlKind::ComboList, L"ComboList1"}};
    PartDescription desc;
    for (const auto& c : kControls) {
        CParam p;
        p.m_kind = c.kind;
        p.m_name = c.name;
        desc.m_params.push_back(p);
    }
    return desc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    if (in.Next() & 1) {
        const std::wstring code = StripJisPrefix(in.Text());
        int drawing = 0, index = 0;
        const bool ok = DecodeLegacySymbolCode(code, drawing, index);
        if (!ok && (drawing != -1 || index != -1))
            __builtin_trap(); // a refusal always answers -1/-1
        std::vector<std::wstring> lines;
        while (!in.Empty() && lines.size() < 64)
            lines.push_back(in.Text());
        std::wstring base;
        ChooseCandidate(FindCandidatesInLines(lines, code), index, base);
        return 0;
    }
    const db::XData record = Chain(in);
    for (const PartRecordEntry& e : GetPartRecordEntries(record))
        if (e.m_name.empty() && e.m_value.size() > 1u << 20)
            __builtin_trap();
    GetPartRecordFileName(record);
    PartDescription desc = Description();
    ApplyPartRecord(record, desc);
    RecordedQualityChanged(record, desc);
    // What was applied must survive being written and read again.
    const db::XData again = MakePartRecord(desc);
    PartDescription back = Description();
    ApplyPartRecord(again, back);
    for (std::size_t i = 0; i < desc.m_params.size(); ++i)
        if (desc.m_params[i].m_kind != ControlKind::Header &&
            desc.m_params[i].m_kind != ControlKind::Drawing &&
            desc.m_params[i].m_kind != ControlKind::Radio &&
            desc.m_params[i].m_kind != ControlKind::Check &&
            back.m_params[i].m_value != desc.m_params[i].m_value)
            __builtin_trap();
    return 0;
}
