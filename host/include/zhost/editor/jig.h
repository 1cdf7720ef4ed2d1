#pragma once
// Dragging an entity while the user gives a point, a distance or an angle (the platform's
// AcEdJig). Derive, implement sampler / update / entity, set the prompt and keywords, and call
// drag():
//
//     class MoveJig : public ed::Jig {
//         DragStatus sampler() override { return acquirePoint(cur_); }
//         bool update() override { /* move the entity to cur_ */ return true; }
//         db::Entity* entity() const override { return ent_.get(); }
//     };
//
// The driver takes answers from the input source. A cursor move ("@move x,y" in a script) calls
// sampler() and, unless it reports noChange or cancel, update(); a point, number or keyword line
// ends the drag: sampler() and update() run once more with that answer and drag() returns its
// status. Enter gives `null` when the input controls accept it (else the prompt repeats), "^C"
// gives cancel. The entity is never added to the database by the driver.
#include "zhost/editor/result.h"
#include "zhost/geom/point3d.h"

#include <string>
#include <string_view>

namespace zhost::db {
class Entity;
}

namespace zhost::ed {

class Jig {
public:
    // The platform's drag statuses.
    enum DragStatus {
        kModeless = -17,
        kNoChange = -6,
        kCancel = -4,
        kOther = -3, // arbitrary text (with kAcceptOtherInputString); read it with getInput
        kNull = -1,  // Enter
        kNormal = 0,
        kKW1 = 1,
        kKW2,
        kKW3,
        kKW4,
        kKW5,
        kKW6,
        kKW7,
        kKW8,
        kKW9,
    };

    // The platform's user input controls (bits).
    enum UserInputControls {
        kGovernedByOrthoMode = 0x000001,  // ORTHOMODE constrains points/angles to the UCS axes
        kNullResponseAccepted = 0x000002, // Enter ends the drag with kNull
        kDontEchoCancelForCtrlC = 0x000004,
        kDontUpdateLastPoint = 0x000008,
        kNoDwgLimitsChecking = 0x000010,
        kNoZeroResponseAccepted = 0x000020,
        kNoNegativeResponseAccepted = 0x000040,
        kAccept3dCoordinates = 0x000080,
        kAcceptMouseUpAsPoint = 0x000100,
        kAnyBlankTerminatesInput = 0x000200,
        kInitialBlankTerminatesInput = 0x000400,
        kAcceptOtherInputString = 0x000800, // text that is no keyword is an answer (kOther)
        kGovernedByUCSDetect = 0x001000,
        kNoZDirectionOrtho = 0x002000,
        kImpliedFaceForUCSChange = 0x004000,
        kUseBasePointElevation = 0x008000,
        kDisableDirectDistanceInput = 0x010000,
    };

    enum CursorType {
        kNoSpecialCursor = -1,
        kCrosshair = 0,
        kRectCursor,
        kRubberBand,
        kNotRotated,
        kTargetBox,
        kRotatedCrosshair,
        kCrosshairNoRotate,
        kInvisible,
        kEntitySelect,
        kParallelogram,
        kEntitySelectNoPersp,
        kPkfirstOrGrips,
        kCrosshairDashed,
    };

    Jig() = default;
    virtual ~Jig() = default;
    Jig(const Jig&) = delete;
    Jig& operator=(const Jig&) = delete;

    // Runs the drag until an answer ends it.
    DragStatus drag();

    virtual DragStatus sampler() = 0;
    virtual bool update() = 0;
    virtual db::Entity* entity() const = 0;

    void setDispPrompt(std::wstring_view prompt) { prompt_ = prompt; }
    const std::wstring& dispPrompt() const { return prompt_; }
    // Keywords as initGet takes them; a keyword answer gives kKW1.. in list order.
    void setKeywordList(std::wstring_view keywords) { keywords_ = keywords; }
    const std::wstring& keywordList() const { return keywords_; }
    void setUserInputControls(int controls) { controls_ = controls; }
    int userInputControls() const { return controls_; }
    void setSpecialCursorType(CursorType c) { cursor_ = c; }
    CursorType specialCursorType() const { return cursor_; }

    // Called from sampler(): the current answer as a point, a distance from the base point or an
    // angle (radians, from the base point, measured from the UCS X axis about the UCS Z axis).
    // Points are world coordinates, as on the platform (answers typed in the UCS are converted).
    // While the cursor has not moved since the last call they return kNoChange. With
    // kGovernedByOrthoMode and ORTHOMODE 1, cursor moves relative to a base point are held to
    // the UCS axis nearer to them (typed points are taken as they are).
    DragStatus acquirePoint(geom::Point3d& point);
    DragStatus acquirePoint(geom::Point3d& point, const geom::Point3d& basePoint);
    DragStatus acquireDist(double& distance);
    DragStatus acquireDist(double& distance, const geom::Point3d& basePoint);
    DragStatus acquireAngle(double& angle);
    DragStatus acquireAngle(double& angle, const geom::Point3d& basePoint);

    // Counts, for tests and diagnostics.
    int samplerCalls() const { return samplerCalls_; }
    int updateCalls() const { return updateCalls_; }

private:
    friend class JigDriver;

    std::wstring prompt_;
    std::wstring keywords_;
    int controls_ = 0;
    CursorType cursor_ = kNoSpecialCursor;
    int samplerCalls_ = 0, updateCalls_ = 0;
    class JigDriver* driver_ = nullptr; // the running driver while drag() runs
};

} // namespace zhost::ed
