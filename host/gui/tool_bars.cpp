#include "tool_bars.h"

#include <wx/aui/auibar.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

namespace zorma::gui {

namespace {

// The pictures of the first bar. They are drawn here rather than taken from an icon theme: a
// desktop may have none installed (a virtual display has none), and the drafting commands have
// no standard icons anyway.
enum class Icon {
    newDrawing,
    open,
    save,
    line,
    pline,
    circle,
    arc,
    rectang,
    text,
    erase,
    move,
    copy,
    rotate,
    mirror,
    offset,
    list,
    dist,
    undo,
};

constexpr int kIconSize = 22;
const wxColour kInk(50, 50, 50);
const wxColour kAccent(10, 110, 190);
const wxColour kRed(200, 50, 50);
constexpr double kPi = 3.141592653589793;

class IconPainter {
public:
    explicit IconPainter(wxGraphicsContext& gc) : gc_(gc) {}

    void pen(const wxColour& c, double width = 1.6) {
        gc_.SetPen(gc_.CreatePen(wxGraphicsPenInfo(c).Width(width)));
    }
    void polyline(std::initializer_list<wxPoint2DDouble> points, bool closed = false) {
        wxGraphicsPath p = gc_.CreatePath();
        bool first = true;
        for (const wxPoint2DDouble& q : points) {
            if (first)
                p.MoveToPoint(q);
            else
                p.AddLineToPoint(q);
            first = false;
        }
        if (closed)
            p.CloseSubpath();
        gc_.StrokePath(p);
    }
    void circle(double x, double y, double r) {
        wxGraphicsPath p = gc_.CreatePath();
        p.AddCircle(x, y, r);
        gc_.StrokePath(p);
    }
    // An arc from `from` to `to` degrees, counter-clockwise on the screen as in a drawing.
    void arc(double x, double y, double r, double from, double to) {
        wxGraphicsPath p = gc_.CreatePath();
        p.AddArc(x, y, r, -from * kPi / 180, -to * kPi / 180, false);
        gc_.StrokePath(p);
    }
    // A grip: the small square the platform shows on a point of an entity.
    void grip(double x, double y) {
        pen(kAccent, 1.2);
        gc_.StrokeLine(x - 2, y - 2, x + 2, y - 2);
        gc_.StrokeLine(x + 2, y - 2, x + 2, y + 2);
        gc_.StrokeLine(x + 2, y + 2, x - 2, y + 2);
        gc_.StrokeLine(x - 2, y + 2, x - 2, y - 2);
    }
    // An arrowhead at (x, y) pointing along `degrees` (screen angle, y down).
    void head(double x, double y, double degrees) {
        const double a = degrees * kPi / 180, s = 4;
        polyline({{x - s * std::cos(a - 0.5), y - s * std::sin(a - 0.5)},
                  {x, y},
                  {x - s * std::cos(a + 0.5), y - s * std::sin(a + 0.5)}});
    }

private:
    wxGraphicsContext& gc_;
};

void paintIcon(IconPainter& p, Icon icon) {
    switch (icon) {
    case Icon::newDrawing:
        p.pen(kInk, 1.3);
        p.polyline({{5, 2}, {13, 2}, {18, 7}, {18, 20}, {5, 20}}, true);
        p.polyline({{13, 2}, {13, 7}, {18, 7}});
        break;
    case Icon::open:
        p.pen(kInk, 1.3);
        p.polyline({{2, 5}, {8, 5}, {10, 7}, {18, 7}, {18, 18}, {2, 18}}, true);
        p.pen(kAccent, 1.3);
        p.polyline({{5, 11}, {21, 11}, {18, 18}, {2, 18}}, true);
        break;
    case Icon::save:
        p.pen(kInk, 1.3);
        p.polyline({{3, 3}, {16, 3}, {19, 6}, {19, 19}, {3, 19}}, true);
        p.polyline({{7, 3}, {7, 8}, {15, 8}, {15, 3}});
        p.pen(kAccent, 1.3);
        p.polyline({{6, 12}, {16, 12}, {16, 19}, {6, 19}}, true);
        break;
    case Icon::line:
        p.pen(kInk);
        p.polyline({{4, 18}, {18, 4}});
        p.grip(4, 18);
        p.grip(18, 4);
        break;
    case Icon::pline:
        p.pen(kInk);
        p.polyline({{3, 18}, {8, 6}, {13, 15}, {19, 4}});
        p.grip(8, 6);
        p.grip(13, 15);
        break;
    case Icon::circle:
        p.pen(kInk);
        p.circle(11, 11, 8);
        p.grip(11, 11);
        break;
    case Icon::arc:
        p.pen(kInk);
        p.arc(11, 15, 9, 10, 170);
        p.grip(11 + 9 * std::cos(10 * kPi / 180), 15 - 9 * std::sin(10 * kPi / 180));
        p.grip(11 - 9 * std::cos(10 * kPi / 180), 15 - 9 * std::sin(10 * kPi / 180));
        break;
    case Icon::rectang:
        p.pen(kInk);
        p.polyline({{3, 6}, {19, 6}, {19, 17}, {3, 17}}, true);
        p.grip(3, 17);
        p.grip(19, 6);
        break;
    case Icon::text:
        p.pen(kInk, 1.8);
        p.polyline({{4, 19}, {11, 3}, {18, 19}});
        p.polyline({{7, 13}, {15, 13}});
        break;
    case Icon::erase:
        p.pen(kInk);
        p.polyline({{2, 17}, {20, 5}});
        p.pen(kRed, 2);
        p.polyline({{6, 5}, {16, 17}});
        p.polyline({{16, 5}, {6, 17}});
        break;
    case Icon::move:
        p.pen(kInk);
        p.polyline({{11, 2}, {11, 20}});
        p.polyline({{2, 11}, {20, 11}});
        p.head(11, 2, -90);
        p.head(11, 20, 90);
        p.head(2, 11, 180);
        p.head(20, 11, 0);
        break;
    case Icon::copy:
        p.pen(kInk, 1.3);
        p.polyline({{2, 2}, {13, 2}, {13, 13}, {2, 13}}, true);
        p.pen(kAccent, 1.3);
        p.polyline({{8, 8}, {19, 8}, {19, 19}, {8, 19}}, true);
        break;
    case Icon::rotate:
        p.pen(kInk);
        p.arc(11, 11, 8, 90, 360);
        p.pen(kAccent);
        p.head(11, 3, 180);
        break;
    case Icon::mirror:
        p.pen(kInk, 1);
        for (int y = 1; y < 21; y += 4)
            p.polyline({{11, double(y)}, {11, y + 2.0}});
        p.pen(kInk, 1.4);
        p.polyline({{9, 4}, {9, 18}, {2, 18}}, true);
        p.pen(kAccent, 1.4);
        p.polyline({{13, 4}, {13, 18}, {20, 18}}, true);
        break;
    case Icon::offset:
        p.pen(kInk);
        p.polyline({{2, 14}, {9, 7}, {20, 7}});
        p.pen(kAccent);
        p.polyline({{4, 19}, {11, 12}, {20, 12}});
        break;
    case Icon::list:
        p.pen(kInk, 1.4);
        for (double y : {5.0, 10.0, 15.0, 20.0})
            p.polyline({{7, y}, {20, y}});
        p.pen(kAccent, 2);
        for (double y : {5.0, 10.0, 15.0, 20.0})
            p.polyline({{2, y}, {4, y}});
        break;
    case Icon::dist:
        p.pen(kInk, 1.2);
        p.polyline({{2, 6}, {2, 18}});
        p.polyline({{20, 6}, {20, 18}});
        p.pen(kAccent, 1.4);
        p.polyline({{3, 12}, {19, 12}});
        p.head(3, 12, 180);
        p.head(19, 12, 0);
        break;
    case Icon::undo:
        p.pen(kInk, 1.8);
        p.arc(12, 13, 6, -90, 90);
        p.polyline({{12, 7}, {4, 7}});
        p.head(4, 7, 180);
        break;
    }
}

wxBitmap iconBitmap(Icon icon) {
    wxImage image(kIconSize, kIconSize);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), kIconSize * kIconSize, 0);
    {
        // The context writes the picture back into the image when it goes.
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (gc) {
            gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
            IconPainter p(*gc);
            paintIcon(p, icon);
        }
    }
    return wxBitmap(image);
}

Icon iconOf(const std::wstring& name) {
    static const std::pair<const wchar_t*, Icon> icons[] = {
        {L"LINE", Icon::line},     {L"PLINE", Icon::pline},     {L"CIRCLE", Icon::circle},
        {L"ARC", Icon::arc},       {L"RECTANG", Icon::rectang}, {L"TEXT", Icon::text},
        {L"ERASE", Icon::erase},   {L"MOVE", Icon::move},       {L"COPY", Icon::copy},
        {L"ROTATE", Icon::rotate}, {L"MIRROR", Icon::mirror},   {L"OFFSET", Icon::offset},
        {L"LIST", Icon::list},     {L"DIST", Icon::dist},       {L"UNDO", Icon::undo}};
    for (const auto& [n, icon] : icons)
        if (name == n)
            return icon;
    return Icon::line; // every host command of the table has its own (commandTools())
}

struct FileTool {
    int id;
    const wchar_t* name;
    const wchar_t* help;
    Icon icon;
};
const FileTool kFileTools[] = {{wxID_NEW, L"NEW", L"New drawing (NEW)", Icon::newDrawing},
                               {wxID_OPEN, L"OPEN", L"Open a drawing (OPEN)", Icon::open},
                               {wxID_SAVE, L"SAVE", L"Save the drawing (QSAVE)", Icon::save}};

} // namespace

const std::vector<CommandTool>& commandTools() {
    using G = CommandGroup;
    static const std::vector<CommandTool> tools = {{L"ZORMA_CONT", G::addon},
                                                   {L"ZORMA_CONT_EDIT", G::addon},
                                                   {L"ZORMA_GEOMCALC", G::addon},
                                                   {L"KORU_ATTACH_PC_XDATA", G::addon},
                                                   {L"ZORMA_HIDE", G::addon},
                                                   {L"ZORMA_HIDE_RESTORE", G::addon},
                                                   {L"LINE", G::draw},
                                                   {L"PLINE", G::draw},
                                                   {L"CIRCLE", G::draw},
                                                   {L"ARC", G::draw},
                                                   {L"RECTANG", G::draw},
                                                   {L"TEXT", G::draw},
                                                   {L"ERASE", G::modify},
                                                   {L"MOVE", G::modify},
                                                   {L"COPY", G::modify},
                                                   {L"ROTATE", G::modify},
                                                   {L"MIRROR", G::modify},
                                                   {L"OFFSET", G::modify},
                                                   {L"LIST", G::inquiry},
                                                   {L"DIST", G::inquiry},
                                                   {L"UNDO", G::undo}};
    return tools;
}

ToolBars createToolBars(wxWindow* parent, int firstCommandId) {
    ToolBars bars;
    bars.firstCommandId = firstCommandId;
    // No overflow menu: every tool stays on the bar (the first needs about 560 pixels, the
    // second about 700 with the window's usual font).
    bars.host = new wxAuiToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxAUI_TB_HORZ_LAYOUT | wxAUI_TB_PLAIN_BACKGROUND);
    bars.addon = new wxAuiToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                  wxAUI_TB_TEXT | wxAUI_TB_HORZ_TEXT | wxAUI_TB_PLAIN_BACKGROUND);
    for (const FileTool& f : kFileTools)
        bars.host->AddTool(f.id, wxString(f.name), iconBitmap(f.icon), wxString(f.help));
    std::optional<CommandGroup> last;
    const std::vector<CommandTool>& tools = commandTools();
    for (size_t i = 0; i < tools.size(); ++i) {
        const CommandTool& t = tools[i];
        const int id = firstCommandId + static_cast<int>(i);
        switch (t.group) {
        case CommandGroup::addon:
            bars.addon->AddTool(id, wxString(t.name), wxNullBitmap, wxString(t.name));
            break;
        case CommandGroup::draw:
        case CommandGroup::modify:
        case CommandGroup::inquiry:
        case CommandGroup::undo:
            if (last != t.group)
                bars.host->AddSeparator();
            bars.host->AddTool(id, wxString(t.name), iconBitmap(iconOf(t.name)), wxString(t.name));
            break;
        }
        last = t.group;
    }
    bars.host->Realize();
    bars.addon->Realize();
    return bars;
}

std::wstring toolLayout(const ToolBars& bars) {
    std::wstring out;
    auto add = [&out](wxAuiToolBar* bar, int id, const wchar_t* name) {
        wxRect r = bar->GetToolRect(id);
        if (!bar->GetToolFits(id) || !bar->IsShownOnScreen())
            r = wxRect(bar->ClientToScreen(r.GetTopLeft()), wxSize(0, 0));
        else
            r.SetTopLeft(bar->ClientToScreen(r.GetTopLeft()));
        wchar_t line[160];
        std::swprintf(line, 160, L"tool %ls %d %d %d %d\n", name, r.x, r.y, r.width, r.height);
        out += line;
    };
    for (const FileTool& f : kFileTools)
        add(bars.host, f.id, f.name);
    const std::vector<CommandTool>& tools = commandTools();
    for (size_t i = 0; i < tools.size(); ++i) {
        wxAuiToolBar* bar = tools[i].group == CommandGroup::addon ? bars.addon : bars.host;
        add(bar, bars.firstCommandId + static_cast<int>(i), tools[i].name);
    }
    return out;
}

void reportLayout(const std::wstring& lines) {
    static const bool on = std::getenv("ZORMA_GUI_LAYOUT") != nullptr;
    static std::map<std::wstring, std::wstring> last; // by the lines' first word
    if (!on || lines.empty())
        return;
    const std::wstring kind = lines.substr(0, lines.find(L' '));
    if (last[kind] == lines)
        return;
    last[kind] = lines;
    std::wstring text;
    size_t from = 0;
    while (from < lines.size()) {
        const size_t end = std::min(lines.find(L'\n', from), lines.size());
        text += L"zorma gui: layout " + lines.substr(from, end - from) + L"\n";
        from = end + 1;
    }
    std::fputs(wxString(text).utf8_str(), stderr);
    std::fflush(stderr);
}

} // namespace zorma::gui
