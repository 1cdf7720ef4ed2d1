// A minimal add-on for the loader's tests: the exports of a real add-on, one command that
// prompts and drags, and ordinal 1000. Built twice, for API 24 and (with ZORMA_TEST_API23)
// API 23.
#include "zhost/editor/editor.h"
#include "zhost/rx/app.h"

#include "support/test_module.h"

#include <atomic>
#include <memory>

using namespace zhost;

namespace {

// Moves nothing: counts the drag's calls so that the transcript shows their order.
class CountingJig : public ed::Jig {
public:
    DragStatus sampler() override {
        const DragStatus st = acquirePoint(m_point, geom::Point3d());
        ed::printf(L"\nsampler %d", int(st));
        return st;
    }
    bool update() override {
        ed::printf(L"\nupdate %g,%g", m_point.x, m_point.y);
        return true;
    }
    db::Entity* entity() const override { return nullptr; }
    geom::Point3d m_point;
};

void helloCommand() {
    ed::printf(L"\nhello from the test add-on");
    CountingJig jig;
    jig.setDispPrompt(L"\nDrag to: ");
    jig.setKeywordList(L"Stop");
    const auto st = jig.drag();
    ed::printf(L"\ndrag ended with %d", int(st));
}

} // namespace

ZHOST_ADDON_EXPORT int acrxEntryPoint(int message, void* packet) {
    switch (message) {
    case rx::kInitAppMsg:
        rx::dynamicLinker().unlockApplication(packet);
        rx::dynamicLinker().registerAppMDIAware(packet);
        rx::commandStack().addCommand(L"TESTPLUGIN", L"TESTPLUG_HELLO", L"TESTPLUG_HELLO",
                                      rx::cmd::kModal, &helloCommand);
        break;
    case rx::kUnloadAppMsg:
        rx::commandStack().removeGroup(L"TESTPLUGIN");
        break;
    default:
        break;
    }
    return rx::kRetOK;
}

#ifdef ZORMA_TEST_API23
ZHOST_ADDON_EXPORT int odrxGetAPIVersion(int* a, int* b, int* c, int* d) {
    *a = 23, *b = 2, *c = 0, *d = 0;
    return 0;
}
// The API-23 build exports one function under both names.
extern "C" __attribute__((visibility("default"), alias("odrxGetAPIVersion"))) void
acrxGetApiVersion(int*, int*, int*, int*);
#else
ZHOST_ADDON_EXPORT void acrxGetApiVersion(int* a, int* b, int* c, int* d) {
    *a = 24, *b = 1, *c = 5, *d = 0;
}
ZHOST_ADDON_EXPORT int odrxGetAPIVersion(int* a, int* b, int* c, int* d) {
    *a = 24, *b = 2, *c = 0, *d = 0;
    return 0;
}
#endif

ZHOST_ADDON_EXPORT rx::ModuleObject* odrxCreateModuleObject(void** handle) {
    return ztest::CreateTestModule(handle);
}

ZHOST_ORDINAL_EXPORT(1000) {
    ed::printf(L"\nordinal 1000 ran");
}
