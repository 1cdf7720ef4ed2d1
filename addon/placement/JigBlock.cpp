#include "placement/JigBlock.h"

#include "frame/AutoVar.h"
#include "frame/RegSwitches.h"
#include "frame/SettingsLib.h"
#include "frame/UserSections.h"

#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/parametric.h"
#include "zhost/editor/editor.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <numbers>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

namespace {

constexpr double kRadToDeg = 180.0 / std::numbers::pi;
constexpr double kDegToRad = std::numbers::pi / 180.0;

// Prompts and keywords of the drive.
constexpr const wchar_t* kPromptBasePoint = L"基点を指示:";
constexpr const wchar_t* kPromptThroughFree =
    L"自由長さで通過点を指示または[呼び長さ(C)/長さ入力(L)/角度入力(A)]:";
constexpr const wchar_t* kPromptThroughNominal =
    L"呼び長さで通過点を指示または[自由長さ(C)/長さ入力(L)/角度入力(A)]:";
constexpr const wchar_t* kPromptThroughForcedFree =
    L"自由長さで通過点を指示または[長さ入力(L)/角度入力(A)]:";
constexpr const wchar_t* kLengthParam = L"LEN";

// Input controls of the phases: null accepted; plus ortho; plus other input strings.
constexpr int kControlsBase = ed::Jig::kNullResponseAccepted;
constexpr int kControlsThrough = ed::Jig::kNullResponseAccepted | ed::Jig::kGovernedByOrthoMode;
constexpr int kControlsTyped = kControlsThrough | ed::Jig::kAcceptOtherInputString;

// A slow re-evaluation is deferred on every other sample once this much time has passed since
// the last one (host clock, milliseconds).
constexpr std::uint64_t kSlowUpdateMs = 250;

// Shared by every jig of the module: when the last length update ran and how many samples
// came after a slow one.
std::uint64_t g_lastLengthUpdate = 0;
int g_skipCounter = 0;

std::wstring TwoPlaces(double value) {
    return ed::rToS(value, ed::units::decimal, 2);
}

// The remembered values of the jig live in one section of the per-user store.
bool ReadStoredString(const wchar_t* key, std::wstring& value) {
    CUserStore store;
    return store.IsOpen() && store.SelectSection(kUserSectionContTempValue) &&
           store.GetString(key, value);
}

void WriteStoredString(const wchar_t* key, const std::wstring& value) {
    CUserStore store;
    if (!store.IsOpen())
        return;
    store.SelectSection(kUserSectionContTempValue);
    store.SetString(key, value.c_str());
}

bool ReadStoredFreeLength() {
    CUserStore store;
    int value = 0;
    return store.IsOpen() && store.SelectSection(kUserSectionContTempValue) &&
           store.GetInt(L"FreeLen", value) && value == 1;
}

void WriteStoredFreeLength(bool on) {
    CUserStore store;
    if (!store.IsOpen())
        return;
    store.SelectSection(kUserSectionContTempValue);
    store.SetInt(L"FreeLen", on ? 1 : 0);
}

} // namespace

void ResetJigUpdateTiming() {
    g_lastLengthUpdate = ed::hostClock().now();
    g_skipCounter = 0;
}

CJigBlock::CJigBlock(const std::wstring& blockName, const std::wstring& layer,
                     const geom::Point3d& basePoint, double startRotation,
                     db::ObjectId templateRefId, const CPartsYobi& nominal, bool hasLength)
    : m_currentPoint(basePoint), m_basePoint(basePoint), m_blockName(blockName), m_layer(layer),
      m_startRotation(startRotation), m_templateId(templateRefId), m_nominal(nominal),
      m_hasLength(hasLength), m_currentAngle(ed::ucsXAngle()) {
    // Nominal lengths of another size must not raise the minimum: only lengths of the chosen
    // size count.
    double minLength = 0;
    if (HasNominalLengths() && m_nominal.GetMinLength(minLength))
        m_minLength = minLength;
    m_skipDragging = IsSkipDragging();
    m_freeLength = ReadStoredFreeLength();
}

bool CJigBlock::HasNominalLengths() const {
    return m_nominal.HasRows() && !m_nominal.GetLengths().empty();
}

void CJigBlock::CreateReference() {
    db::ObjectPtr<db::BlockReference> tmpl(m_templateId, db::OpenMode::forRead);
    if (!ok(tmpl.status()))
        return;
    auto ref = std::make_unique<db::BlockReference>(m_basePoint, tmpl->blockTableRecord());
    if (db::Database* database = ed::workingDatabase())
        ref->setDatabaseDefaults(*database);
    ref->setLayer(m_layer);
    ref->setRotation(m_startRotation);
    m_jigRef = std::move(ref);
}

void CJigBlock::RefreshReference() {
    if (!m_jigRef)
        return;
    db::ObjectPtr<db::BlockReference> tmpl(m_templateId, db::OpenMode::forRead);
    if (!ok(tmpl.status()))
        return;
    m_jigRef->setBlockTableRecord(tmpl->blockTableRecord());
    m_jigRef->setPosition(m_basePoint);
    m_jigRef->setRotation(m_currentAngle);
}

bool CJigBlock::ReadNumber(const std::wstring& text, double& value) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    value = std::wcstod(begin, &end);
    if (end == begin)
        return false;
    while (*end == L' ' || *end == L'\t')
        ++end;
    return *end == L'\0' && std::isfinite(value);
}

// --- Drive ---------------------------------------------------------------------------------------

bool CJigBlock::Drive() {
    if (!m_jigRef)
        CreateReference();
    if (!m_jigRef)
        return false;
    switch (static_cast<JigPhase>(m_phase)) {
    case kJigBasePoint:
        return DriveBasePoint();
    case kJigThroughPoint:
        return DriveThroughPoint();
    case kJigTypedLength:
        return DriveTypedLength();
    case kJigTypedAngle:
        return DriveTypedAngle();
    }
    return false;
}

bool CJigBlock::DriveBasePoint() {
    setDispPrompt(kPromptBasePoint);
    setKeywordList(L"");
    setUserInputControls(kControlsBase);
    if (drag() != kNormal)
        return false;
    m_phase = m_hasLength ? kJigThroughPoint : kJigTypedAngle;
    m_basePoint = m_currentPoint;
    return true;
}

bool CJigBlock::DriveThroughPoint() {
    while (true) {
        if (HasNominalLengths()) {
            setKeywordList(L"L A C");
            setDispPrompt(m_freeLength ? kPromptThroughFree : kPromptThroughNominal);
        } else {
            m_freeLength = true;
            setKeywordList(L"L A");
            setDispPrompt(kPromptThroughForcedFree);
        }
        setUserInputControls(kControlsThrough);
        const DragStatus st = drag();
        switch (st) {
        case kKW1:
            m_phase = kJigTypedLength;
            return Drive();
        case kKW2:
            m_phase = kJigTypedAngle;
            return Drive();
        case kKW3:
            m_freeLength = !m_freeLength;
            WriteStoredFreeLength(m_freeLength);
            continue;
        case kNormal:
        case kNoChange:
            FinishThroughPoint();
            return true;
        default:
            return false;
        }
    }
}

// The prompt of a typed length or angle: the default from the store (or the fallback), then
// dragging until the user types a number, presses Enter (m_inputText stays empty: the default
// holds) or cancels. Text that is not a number prints the message and asks again; a number typed
// as text is handed back in `typed` (a value the jig's sampler took stays with the sampler).
bool CJigBlock::PromptTypedValue(const wchar_t* storeKey, const wchar_t* fallback,
                                 ed::LiteralFormat promptFormat, const wchar_t* notANumber,
                                 std::optional<double>& typed) {
    if (!ReadStoredString(storeKey, m_defaultText) || m_defaultText.empty())
        m_defaultText = fallback;
    setKeywordList(L"");
    setUserInputControls(kControlsTyped);
    setDispPrompt(ed::format(promptFormat, m_defaultText));
    while (true) {
        m_inputText.clear();
        const DragStatus st = drag();
        if (st == kCancel || st == kNull)
            return false;
        if (st != kOther)
            return true;
        std::wstring text;
        ed::getInput(text);
        double value = 0;
        if (ReadNumber(text, value)) {
            m_inputText = text;
            typed = value;
            return true;
        }
        ed::print(notANumber);
    }
}

bool CJigBlock::DriveTypedLength() {
    std::optional<double> typed;
    if (!PromptTypedValue(L"Length", L"25.0", L"長さ <%s>:",
                          L"Requires numeric distance or two points.", typed))
        return false;
    m_lengthText = m_inputText.empty() ? m_defaultText : m_inputText;
    WriteStoredString(L"Length", m_lengthText);
    double length = 0;
    ReadNumber(m_lengthText, length);
    SetLength(length);
    if (m_angleText.empty()) {
        m_phase = kJigTypedAngle;
        return Drive();
    }
    return true;
}

bool CJigBlock::DriveTypedAngle() {
    std::optional<double> typed;
    if (!PromptTypedValue(L"Angle", L"0", L"角度 <%s>:",
                          L"Requires valid numeric angle or second point.", typed))
        return false;
    if (typed)
        m_currentAngle = *typed * kDegToRad + ed::ucsXAngle();
    // Enter takes the default without a drawing update; the reference must still turn.
    m_jigRef->setRotation(m_currentAngle);
    m_angleText = m_inputText.empty() ? m_defaultText : m_inputText;
    WriteStoredString(L"Angle", m_angleText);
    if (m_hasLength && m_lengthText.empty()) {
        m_phase = kJigTypedLength;
        return Drive();
    }
    return true;
}

void CJigBlock::FinishThroughPoint() {
    geom::Point3d through = m_currentPoint;
    int ortho = 0;
    if (ok(ed::getVarInt(L"ORTHOMODE", ortho)) && ortho != 0) {
        const double dx = through.x - m_basePoint.x;
        const double dy = through.y - m_basePoint.y;
        if (dx != 0 && dy / dx > -1 && dy / dx < 1)
            through.y = m_basePoint.y;
        else
            through.x = m_basePoint.x;
    }
    m_lengthText = TwoPlaces(m_basePoint.distanceTo(through));
    m_angleText =
        TwoPlaces(std::atan2(through.y - m_basePoint.y, through.x - m_basePoint.x) * kRadToDeg);
    if (m_updatePending) {
        double length = 0;
        if (ReadNumber(m_lengthText, length))
            SetLength(length);
    }
}

// --- Sampler -------------------------------------------------------------------------------------

ed::Jig::DragStatus CJigBlock::sampler() {
    switch (static_cast<JigPhase>(m_phase)) {
    case kJigBasePoint:
        return SampleBasePoint();
    case kJigThroughPoint:
        return SampleThroughPoint();
    case kJigTypedLength:
        return SampleTypedLength();
    case kJigTypedAngle:
        return SampleTypedAngle();
    }
    return kCancel;
}

ed::Jig::DragStatus CJigBlock::SampleBasePoint() {
    setSpecialCursorType(kNoSpecialCursor);
    setUserInputControls(kControlsBase);
    geom::Point3d point;
    const DragStatus st = acquirePoint(point);
    if (st == kNoChange)
        return kNoChange;
    if (st != kNormal)
        return kCancel;
    if (point.distanceTo(m_currentPoint) < 0.01)
        return kNoChange;
    m_currentPoint = point;
    return kNormal;
}

ed::Jig::DragStatus CJigBlock::SampleThroughPoint() {
    setSpecialCursorType(kRubberBand);
    setUserInputControls(kControlsThrough);
    geom::Point3d point;
    const DragStatus st = acquirePoint(point, m_basePoint);
    if (st == kKW1 || st == kKW2 || st == kKW3)
        return st;
    if (st == kCancel || st == kNull)
        return kCancel;
    if (st == kNoChange)
        return kNoChange;
    if (st != kNormal)
        return kCancel;
    geom::Vector3d dir = point - m_basePoint;
    dir.z = 0;
    double angle = ed::ucsXAngle();
    if (point.distanceTo(m_basePoint) >= 1e-4)
        angle = std::atan2(dir.y, dir.x);
    const geom::Vector3d unit(std::cos(angle), std::sin(angle), 0);
    double distance = dir.length();
    if (distance < m_minLength) {
        distance = m_minLength;
    } else if (!m_freeLength) {
        m_nominal.Snap(distance);
        // A damaged list (zero or negative lengths) must not draw the part shorter than allowed.
        distance = std::max(distance, m_minLength);
    }
    m_currentPoint = m_basePoint + unit * distance;
    m_currentAngle = angle;
    return kNormal;
}

ed::Jig::DragStatus CJigBlock::SampleTypedLength() {
    setSpecialCursorType(kRubberBand);
    setUserInputControls(kControlsTyped);
    double distance = 0;
    const DragStatus st = acquireDist(distance, m_basePoint);
    switch (st) {
    case kCancel:
        return kCancel;
    case kNormal:
        m_inputText = TwoPlaces(distance);
        break;
    case kNull:
        m_inputText = m_defaultText;
        break;
    default:
        return st;
    }
    double angle = 0;
    if (!m_angleText.empty() && ReadNumber(m_angleText, angle))
        m_currentAngle = angle * kDegToRad + ed::ucsXAngle();
    return kNormal;
}

ed::Jig::DragStatus CJigBlock::SampleTypedAngle() {
    setSpecialCursorType(kRubberBand);
    setUserInputControls(kControlsTyped);
    double angle = 0;
    const DragStatus st = acquireAngle(angle, m_basePoint);
    switch (st) {
    case kCancel:
        return kCancel;
    case kNormal:
        // The answer is kept even when the drawing need not change: a typed angle equal to the
        // shown one is still the user's answer, not a request for the default.
        m_inputText = TwoPlaces(angle * kRadToDeg);
        if (std::abs(angle - m_currentAngle) < 1e-4)
            return kNoChange;
        m_currentAngle = angle + ed::ucsXAngle();
        return kNormal;
    case kNull: {
        double degrees = 0;
        ReadNumber(m_defaultText, degrees);
        m_currentAngle = degrees * kDegToRad + ed::ucsXAngle();
        return kNormal;
    }
    default:
        return st;
    }
}

// --- Update --------------------------------------------------------------------------------------

bool CJigBlock::update() {
    if (!m_jigRef)
        return true;
    switch (static_cast<JigPhase>(m_phase)) {
    case kJigBasePoint:
        m_jigRef->setPosition(m_currentPoint);
        return true;
    case kJigThroughPoint:
    case kJigTypedLength: {
        double length = m_currentPoint.distanceTo(m_basePoint);
        double typed = 0;
        if (!m_lengthText.empty() && ReadNumber(m_lengthText, typed))
            length = typed;
        if (length >= m_minLength) {
            const std::uint64_t now = ed::hostClock().now();
            // A clock that went back (a new session) counts as a long pause.
            const bool slow = now < g_lastLengthUpdate || now - g_lastLengthUpdate >= kSlowUpdateMs;
            if (m_skipDragging && slow) {
                ++g_skipCounter;
                if (g_skipCounter % 2 == 1) {
                    m_updatePending = true;
                    if (m_phase == kJigThroughPoint)
                        m_jigRef->setRotation(m_currentAngle);
                    return true;
                }
            }
            m_updatePending = false;
            g_skipCounter = 0;
            g_lastLengthUpdate = now;
            SetLength(length);
        }
        if (m_phase == kJigThroughPoint)
            m_jigRef->setRotation(m_currentAngle);
        return true;
    }
    case kJigTypedAngle:
        m_jigRef->setRotation(m_currentAngle);
        return true;
    }
    return true;
}

bool CJigBlock::SetLength(double value) {
    const double length = std::round(std::max(value, m_minLength) * 100.0) / 100.0;
    const std::wstring text = ed::format(L"%.2f", length);
    if (!ok(db::param::setParameterExpression(m_templateId, kLengthParam, text)))
        return false;
    if (!ok(db::param::evaluate(m_templateId)))
        return false;
    m_updatePending = false;
    RefreshReference();
    return true;
}

// --- Drivers -------------------------------------------------------------------------------------

bool RunFirstPlacementJig(db::ObjectId insertedRefId, const CPartsYobi& nominal, bool hasLength,
                          bool editing, const std::wstring& blockName, const std::wstring& layer,
                          double rotation, const geom::Point3d& basePoint,
                          std::unique_ptr<db::BlockReference>& out) {
    out.reset();
    CJigBlock jig(blockName, layer, basePoint, rotation, insertedRefId, nominal, hasLength);
    if (!editing) {
        jig.SetPhase(kJigBasePoint);
        if (!jig.Drive())
            return false; // the jig's reference dies with it
    }
    jig.SetPhase(hasLength ? kJigThroughPoint : kJigTypedAngle);
    bool done = false;
    {
        CAutoVar interrupt(L"DRAGMODEINTERRUPT", 0);
        done = jig.Drive();
    }
    if (!done)
        return false;
    out = jig.TakeReference();
    return out != nullptr;
}

bool RunNextPlacementJig(db::ObjectId templateRefId, const CPartsYobi& nominal, bool hasLength,
                         const std::wstring& blockName, const std::wstring& layer, double rotation,
                         std::unique_ptr<db::BlockReference>& out) {
    out.reset();
    geom::Point3d base;
    {
        db::ObjectPtr<db::BlockReference> tmpl(templateRefId, db::OpenMode::forRead);
        if (!ok(tmpl.status()))
            return false;
        base = tmpl->position();
    }
    CJigBlock jig(blockName, layer, base, rotation, templateRefId, nominal, hasLength);
    jig.SetPhase(kJigBasePoint);
    if (!jig.Drive())
        return false;
    if (!hasLength) {
        jig.SetPhase(kJigTypedAngle);
        if (!jig.Drive())
            return false;
    }
    out = jig.TakeReference();
    return out != nullptr;
}
