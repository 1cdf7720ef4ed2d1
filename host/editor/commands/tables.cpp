// The property and table commands: -LAYER, -LINETYPE and CHPROP.
#include "../host_commands.h"
#include "../input_parse.h"
#include "drafting.h"

#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"
#include "zhost/db/db.h"
#include "zhost/db/linetype_file.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/selection.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <array>
#include <cmath>
#include <cwctype>

namespace zhost::ed::detail {
namespace {

std::vector<std::wstring> splitNames(std::wstring_view text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(L',', start);
        if (comma == std::wstring_view::npos)
            comma = text.size();
        const std::wstring_view part = trim(text.substr(start, comma - start));
        if (!part.empty())
            out.emplace_back(part);
        start = comma + 1;
    }
    return out;
}

// A whole line of text; false after Esc (the command ends) or Enter when `allowEmpty` is off.
bool askText(std::wstring_view prompt, std::wstring& out, bool allowEmpty = false) {
    const Result r = getString(true, prompt, out);
    if (r == Result::cancel) {
        cancelled();
        return false;
    }
    out = std::wstring(trim(out));
    return r == Result::normal && (allowEmpty || !out.empty());
}

// The layers whose names match any of the patterns; each pattern that matches none is reported.
std::vector<db::ObjectId> matchingLayers(db::Database& d,
                                         const std::vector<std::wstring>& patterns) {
    std::vector<db::ObjectId> out;
    db::ObjectPtr<db::LayerTable> table(d.layerTableId(), db::OpenMode::forRead);
    const std::vector<db::ObjectId> all = table ? table->recordIds() : std::vector<db::ObjectId>();
    table.close();
    for (const std::wstring& pattern : patterns) {
        bool any = false;
        for (db::ObjectId id : all) {
            db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forRead);
            if (l && wcMatch(l->name(), pattern)) {
                any = true;
                if (std::find(out.begin(), out.end(), id) == out.end())
                    out.push_back(id);
            }
        }
        if (!any)
            print(L"\nNo matching layer(s) found for \"" + pattern + L"\".");
    }
    return out;
}

std::wstring layerName(db::ObjectId id) {
    db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forRead);
    return l ? l->name() : std::wstring();
}

// A colour answer: 1..255 or a standard colour name, and BYLAYER / BYBLOCK when allowed.
bool parseColor(std::wstring_view text, bool allowLogical, int& out) {
    static const std::array<const wchar_t*, 7> names = {L"red",  L"yellow",  L"green", L"cyan",
                                                        L"blue", L"magenta", L"white"};
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = wchar_t(std::towlower(c));
    for (size_t i = 0; i < names.size(); ++i)
        if (lower == names[i]) {
            out = int(i) + 1;
            return true;
        }
    if (allowLogical && (lower == L"bylayer" || lower == L"byblock")) {
        out = lower == L"bylayer" ? db::color::byLayer : db::color::byBlock;
        return true;
    }
    double v = 0;
    if (!parseReal(text, v) || v != std::floor(v) || v < 1 || v > 255)
        return false;
    out = int(v);
    return true;
}

bool askColor(std::wstring_view prompt, bool allowLogical, int& out) {
    while (true) {
        std::wstring text;
        if (!askText(prompt, text))
            return false;
        if (parseColor(text, allowLogical, out))
            return true;
        print(L"\nRequires an integer between 1 and 255 or a color name.");
    }
}

// A lineweight in millimetres ("0.25") or BYLAYER / BYBLOCK / DEFAULT, as hundredths of a mm.
bool askLineweight(std::wstring_view prompt, bool allowLogical, int& out) {
    while (true) {
        std::wstring text;
        if (!askText(prompt, text))
            return false;
        std::wstring lower = text;
        for (wchar_t& c : lower)
            c = wchar_t(std::towlower(c));
        if (lower == L"default") {
            out = db::lineweight::byDefault;
            return true;
        }
        if (allowLogical && (lower == L"bylayer" || lower == L"byblock")) {
            out = lower == L"bylayer" ? db::lineweight::byLayer : db::lineweight::byBlock;
            return true;
        }
        double mm = 0;
        if (parseReal(text, mm) && mm >= 0 && mm <= 2.11 &&
            db::lineweight::isValid(int(std::lround(mm * 100)))) {
            out = int(std::lround(mm * 100));
            return true;
        }
        print(L"\nInvalid lineweight: give a standard weight from 0.00 to 2.11 mm.");
    }
}

// A linetype loaded in the drawing; false after Esc or Enter.
bool askLinetype(db::Database& d, std::wstring_view prompt, db::ObjectId& out) {
    while (true) {
        std::wstring text;
        if (!askText(prompt, text))
            return false;
        if (ok(d.getLinetypeId(text, out)))
            return true;
        print(L"\nLinetype \"" + text + L"\" is not loaded. Load it with -LINETYPE first.");
    }
}

// Applies `change` to each layer of a name list asked with `prompt`.
template <class Change>
void changeLayers(db::Database& d, std::wstring_view prompt, Change change) {
    std::wstring list;
    if (!askText(prompt, list))
        return;
    for (db::ObjectId id : matchingLayers(d, splitNames(list))) {
        db::ObjectPtr<db::LayerTableRecord> l(id, db::OpenMode::forWrite);
        if (l)
            change(*l);
    }
}

void layerMakeOrNew(db::Database& d, bool make) {
    std::wstring text;
    if (!askText(make ? format(L"\nEnter name for new layer (becomes the current layer) <%s>: ",
                               layerName(d.clayer()))
                      : std::wstring(L"\nEnter name list for new layer(s): "),
                 text))
        return;
    for (const std::wstring& name : make ? std::vector<std::wstring>{text} : splitNames(text)) {
        db::ObjectId id;
        const Status s = d.addLayer(name, id);
        if (!ok(s) && s != Status::duplicateKey) {
            print(L"\nInvalid layer name \"" + name + L"\".");
            continue;
        }
        if (make && !ok(d.setClayer(id)))
            print(L"\nLayer \"" + name + L"\" is frozen and cannot be made current.");
    }
}

void layerSet(db::Database& d) {
    std::wstring name;
    if (!askText(L"\nEnter layer name to make current: ", name))
        return;
    db::ObjectId id;
    if (!ok(d.getLayerId(name, id)))
        print(L"\nCannot find layer \"" + name + L"\".");
    else if (!ok(d.setClayer(id)))
        print(L"\nCannot set a frozen layer current.");
}

} // namespace

void cmdLayer() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    commandMessage(L"\nCurrent layer:  \"" + layerName(d->clayer()) + L"\"");
    while (true) {
        initGet(0, L"Make Set New ON OFF Color Ltype LWeight Freeze Thaw LOck Unlock");
        std::wstring kw;
        const Result r = getKeyword(L"\nEnter an option [Make/Set/New/ON/OFF/Color/Ltype/"
                                    L"LWeight/Freeze/Thaw/LOck/Unlock]: ",
                                    kw);
        if (r == Result::cancel)
            return cancelled();
        if (r != Result::normal)
            return;
        if (kw == L"Make" || kw == L"New") {
            layerMakeOrNew(*d, kw == L"Make");
        } else if (kw == L"Set") {
            layerSet(*d);
        } else if (kw == L"ON" || kw == L"OFF") {
            const bool off = kw == L"OFF";
            changeLayers(*d,
                         off ? L"\nEnter name list of layer(s) to turn off: "
                             : L"\nEnter name list of layer(s) to turn on: ",
                         [&](db::LayerTableRecord& l) { l.setOff(off); });
        } else if (kw == L"Freeze" || kw == L"Thaw") {
            const bool freeze = kw == L"Freeze";
            changeLayers(*d,
                         freeze ? L"\nEnter name list of layer(s) to freeze: "
                                : L"\nEnter name list of layer(s) to thaw: ",
                         [&](db::LayerTableRecord& l) {
                             if (!ok(l.setFrozen(freeze)))
                                 print(L"\nCannot freeze layer \"" + l.name() +
                                       L"\".  It is the CURRENT layer.");
                         });
        } else if (kw == L"LOck" || kw == L"Unlock") {
            const bool lock = kw == L"LOck";
            changeLayers(*d,
                         lock ? L"\nEnter name list of layer(s) to lock: "
                              : L"\nEnter name list of layer(s) to unlock: ",
                         [&](db::LayerTableRecord& l) { l.setLocked(lock); });
        } else if (kw == L"Color") {
            int color = 7;
            if (askColor(L"\nEnter color name or number (1-255): ", false, color))
                changeLayers(*d, format(L"\nEnter name list of layer(s) for color %d: ", color),
                             [&](db::LayerTableRecord& l) { l.setColorIndex(color); });
        } else if (kw == L"Ltype") {
            db::ObjectId lt;
            if (askLinetype(*d, L"\nEnter a loaded linetype name: ", lt))
                changeLayers(*d, L"\nEnter name list of layer(s) for the linetype: ",
                             [&](db::LayerTableRecord& l) { l.setLinetype(lt); });
        } else { // LWeight
            int weight = 0;
            if (askLineweight(L"\nEnter lineweight (0.0mm-2.11mm): ", false, weight))
                changeLayers(*d, L"\nEnter name list of layer(s) for the lineweight: ",
                             [&](db::LayerTableRecord& l) { l.setLineWeight(weight); });
        }
    }
}

void cmdLinetype() {
    db::Database* d = requireDrawing();
    if (!d)
        return;
    const std::filesystem::path productLin = settings::productFolder() / "config" / "default.lin";
    while (true) {
        initGet(0, L"Load Set");
        std::wstring kw;
        const Result r = getKeyword(L"\nEnter an option [Load/Set]: ", kw);
        if (r == Result::cancel)
            return cancelled();
        if (r != Result::normal)
            return;
        if (kw == L"Set") {
            db::ObjectId lt;
            if (askLinetype(*d, L"\nSpecify linetype name: ", lt)) {
                db::ObjectPtr<db::LinetypeTableRecord> rec(lt, db::OpenMode::forRead);
                d->setVar(L"CELTYPE", db::VarValue(rec->name()));
            }
            continue;
        }
        std::wstring names, file;
        if (!askText(L"\nEnter linetype(s) to load: ", names) ||
            !askText(format(L"\nEnter name of linetype file <%s>: ", settings::toWide(productLin)),
                     file, true))
            continue;
        const std::string path =
            file.empty() ? productLin.string() : settings::toFsPath(trim(file)).string();
        for (const std::wstring& name : splitNames(names)) {
            const Status s = db::loadLinetypeFile(*d, name, path);
            if (ok(s))
                print(L"\nLinetype \"" + name + L"\" loaded.");
            else if (s == Status::duplicateKey)
                print(L"\nLinetype \"" + name + L"\" is already loaded.");
            else if (s == Status::keyNotFound)
                print(L"\nLinetype \"" + name + L"\" not found in " + fromUtf8(path) + L".");
            else
                print(L"\nCannot read linetype file " + fromUtf8(path) + L" (" +
                      fromUtf8(toString(s)) + L").");
        }
    }
}

void cmdChprop() {
    SelectionSet ss;
    db::Database* d = requireDrawing();
    if (!d || !objectsToEdit(ss))
        return;
    const auto forEach = [&](auto change) {
        for (db::ObjectId id : ss.ids()) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
            if (e)
                change(*e);
        }
    };
    while (true) {
        initGet(0, L"Color LAyer LType ltScale LWeight");
        std::wstring kw;
        const Result r =
            getKeyword(L"\nEnter property to change [Color/LAyer/LType/ltScale/LWeight]: ", kw);
        if (r == Result::cancel)
            return cancelled();
        if (r != Result::normal)
            return;
        if (kw == L"Color") {
            int color = 0;
            if (askColor(L"\nNew color [BYLAYER/BYBLOCK/1-255]: ", true, color))
                forEach([&](db::Entity& e) { e.setColorIndex(color); });
        } else if (kw == L"LAyer") {
            std::wstring name;
            db::ObjectId layer;
            if (askText(L"\nEnter new layer name: ", name)) {
                if (ok(d->getLayerId(name, layer)))
                    forEach([&](db::Entity& e) { e.setLayer(layer); });
                else
                    print(L"\nCannot find layer \"" + name + L"\".");
            }
        } else if (kw == L"LType") {
            db::ObjectId lt;
            if (askLinetype(*d, L"\nEnter new linetype name: ", lt))
                forEach([&](db::Entity& e) { e.setLinetype(lt); });
        } else if (kw == L"ltScale") {
            double scale = 1;
            if (askLength(nullptr, L"\nSpecify new linetype scale: ", scale) == Result::normal)
                forEach([&](db::Entity& e) { e.setLinetypeScale(scale); });
        } else { // LWeight
            int weight = 0;
            if (askLineweight(L"\nEnter new lineweight [BYLAYER/BYBLOCK/DEFAULT/0.00-2.11]: ", true,
                              weight))
                forEach([&](db::Entity& e) { e.setLineWeight(weight); });
        }
    }
}

} // namespace zhost::ed::detail
