// A shared library without the add-on's entry points: the host must refuse it.
extern "C" __attribute__((visibility("default"))) int someOtherFunction() {
    return 42;
}
