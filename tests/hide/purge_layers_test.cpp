// CAutoPurgeLayers: layers an operation created and left unused go; everything else stays.
#include "HideTestUtil.h"

#include "hide/AutoPurgeLayers.h"

using namespace hidetest;

namespace {

class AutoPurgeLayers : public DrawingTest {
protected:
    bool HasLayer(const wchar_t* name) {
        db::ObjectId id;
        return zhost::ok(Db().getLayerId(name, id));
    }
};

} // namespace

TEST_F(AutoPurgeLayers, ErasesOnlyTheNewLayerThatNothingReferences) {
    Layer(L"OLD_UNUSED");
    {
        CAutoPurgeLayers guard;
        Layer(L"NEW_UNUSED");
        Line(Db().modelSpaceId(), 0, 0, 1, 0, L"NEW_USED");
    }
    EXPECT_TRUE(HasLayer(L"OLD_UNUSED"));
    EXPECT_TRUE(HasLayer(L"NEW_USED"));
    EXPECT_FALSE(HasLayer(L"NEW_UNUSED"));
    EXPECT_TRUE(Out().empty()); // silent without the debug switch
}

TEST_F(AutoPurgeLayers, ALayerUsedOnlyInsideABlockDefinitionStays) {
    {
        CAutoPurgeLayers guard;
        const db::ObjectId block = Block(L"PART");
        Line(block, 0, 0, 1, 0, L"AM_4");
        Layer(L"AM_9");
    }
    EXPECT_TRUE(HasLayer(L"AM_4"));
    EXPECT_FALSE(HasLayer(L"AM_9"));
}

TEST_F(AutoPurgeLayers, DebugOutputNamesEveryErasedLayerNewestFirst) {
    SetDebug(true);
    {
        CAutoPurgeLayers guard;
        Layer(L"FIRST");
        Layer(L"SECOND");
    }
    EXPECT_EQ(Out(), L"\n------------\n新たに増えた画層のうち、未使用のものを消す"
                     L"\nSECOND was erased(ok).\nFIRST was erased(ok).");
}

TEST_F(AutoPurgeLayers, NothingNewSaysNothingEvenInDebugMode) {
    SetDebug(true);
    Layer(L"BEFORE");
    { CAutoPurgeLayers guard; }
    EXPECT_TRUE(HasLayer(L"BEFORE"));
    EXPECT_TRUE(Out().empty());
}
