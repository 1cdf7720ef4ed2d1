#pragma once
// CJigBlock: the drag with which the user places a part. First the base point, then, for a part
// whose symbol has a "LEN" parameter, a through point that gives length and direction at once;
// the keywords switch to a typed length (L), a typed angle (A) or between nominal and free
// length (C). While the cursor moves the template's "LEN" is set and evaluated, so the part is
// shown at its real length, snapped to the nominal lengths of its size unless free length is on.
//
// The jig draws a reference of its own (never in the database) on the template's block
// definition; the caller takes it with TakeReference() after a successful drive and appends it.
#include "library/PartsYobi.h"

#include "zhost/db/block_reference.h"
#include "zhost/editor/format.h"
#include "zhost/editor/jig.h"

#include <memory>
#include <optional>
#include <string>

// The phases of a drive.
enum JigPhase {
    kJigBasePoint = 0,
    kJigThroughPoint = 1,
    kJigTypedLength = 2,
    kJigTypedAngle = 3,
};

class CJigBlock : public zhost::ed::Jig {
public:
    // templateRefId: the inserted symbol reference (or a placed part) whose block the jig draws
    // and whose "LEN" it sets. hasLength: the symbol has "LEN".
    CJigBlock(const std::wstring& blockName, const std::wstring& layer,
              const zhost::geom::Point3d& basePoint, double startRotation,
              zhost::db::ObjectId templateRefId, const CPartsYobi& nominal, bool hasLength);

    // Runs the prompts of the current phase (and those it leads to). True when the user gave
    // what the phase asks; false on cancel.
    bool Drive();

    // Makes the dragged reference on the template's block (the first drive does it).
    void CreateReference();

    void SetPhase(int phase) { m_phase = phase; }
    int GetPhase() const { return m_phase; }

    // The dragged reference, handed over (empty before the first drive).
    std::unique_ptr<zhost::db::BlockReference> TakeReference() { return std::move(m_jigRef); }
    const zhost::db::BlockReference* GetReference() const { return m_jigRef.get(); }

    const zhost::geom::Point3d& GetBasePoint() const { return m_basePoint; }
    double GetCurrentAngle() const { return m_currentAngle; }
    double GetMinLength() const { return m_minLength; }
    bool IsFreeLength() const { return m_freeLength; }
    const std::wstring& GetLengthText() const { return m_lengthText; }
    const std::wstring& GetAngleText() const { return m_angleText; }
    // Whether the nominal lengths give anything to snap to.
    bool HasNominalLengths() const;

    // Sets the template's "LEN" to the value (at least the minimum length, two places) and
    // evaluates it; the dragged reference is replaced by one on the changed block, at the base
    // point and the current angle. False when the symbol refuses the value.
    bool SetLength(double value);

    DragStatus sampler() override;
    bool update() override;
    zhost::db::Entity* entity() const override { return m_jigRef.get(); }

private:
    bool DriveBasePoint();
    bool DriveThroughPoint();
    bool PromptTypedValue(const wchar_t* storeKey, const wchar_t* fallback,
                          zhost::ed::LiteralFormat promptFormat, const wchar_t* notANumber,
                          std::optional<double>& typed);
    bool DriveTypedLength();
    bool DriveTypedAngle();
    void FinishThroughPoint();

    DragStatus SampleBasePoint();
    DragStatus SampleThroughPoint();
    DragStatus SampleTypedLength();
    DragStatus SampleTypedAngle();

    // Points the dragged reference at the template's current block (which setting "LEN" may
    // have changed) and gives it the current angle.
    void RefreshReference();
    // The value of a typed answer or a default; false when the text is no number.
    static bool ReadNumber(const std::wstring& text, double& value);

    std::wstring m_lengthText, m_angleText;
    zhost::geom::Point3d m_currentPoint;
    zhost::geom::Point3d m_basePoint;
    std::wstring m_blockName; // kept for diagnostics; the template decides what is drawn
    std::wstring m_layer;
    double m_startRotation = 0;
    std::unique_ptr<zhost::db::BlockReference> m_jigRef;
    zhost::db::ObjectId m_templateId;
    const CPartsYobi& m_nominal;
    bool m_hasLength = false;
    int m_phase = kJigBasePoint;
    double m_currentAngle = 0;
    double m_minLength = 1.0;
    bool m_freeLength = false;
    std::wstring m_defaultText;
    std::wstring m_inputText;
    bool m_skipDragging = false;
    bool m_updatePending = false;
};

// Forgets the timing of earlier length updates, which every jig of the module shares (a new
// session starts afresh).
void ResetJigUpdateTiming();

// The first placement of a run: the jig on the inserted symbol reference. Unless editing, asks
// the base point; then the through point (a part with a length) or the angle, with drag-mode
// interruption off. On success `out` holds the new reference (not yet in the database).
bool RunFirstPlacementJig(zhost::db::ObjectId insertedRefId, const CPartsYobi& nominal,
                          bool hasLength, bool editing, const std::wstring& blockName,
                          const std::wstring& layer, double rotation,
                          const zhost::geom::Point3d& basePoint,
                          std::unique_ptr<zhost::db::BlockReference>& out);

// A further copy from a placed reference: the base point, then the angle when the part has no
// length (a part with a length keeps the template's length and direction).
bool RunNextPlacementJig(zhost::db::ObjectId templateRefId, const CPartsYobi& nominal,
                         bool hasLength, const std::wstring& blockName, const std::wstring& layer,
                         double rotation, std::unique_ptr<zhost::db::BlockReference>& out);
