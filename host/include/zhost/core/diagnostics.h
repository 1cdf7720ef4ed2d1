#pragma once
// The details of a failure that its Status cannot carry: the words of a third-party library
// (Open CASCADE's exception message, a Boolean's error report). The code that turns such a
// failure into a Status reports them here. A caller that wants to say why reads the last one of
// its thread; `zorma run -v` prints each as it comes.
//
//   const Status st = geom::unite(a, b, out);
//   if (st == Status::kernelFailure) print(toString(lastDiagnostic()));
#include <functional>
#include <string>

namespace zhost {

struct Diagnostic {
    std::string source;    // who speaks: "kernel", ...
    std::string operation; // what was being done: "unite", "curve length", ...
    std::string message;   // the library's own words, as it gave them
};

// Records a diagnostic: it becomes this thread's last one and goes to the sink, if any.
void reportDiagnostic(Diagnostic d);
// The last diagnostic reported on this thread; all fields empty when none.
const Diagnostic& lastDiagnostic();
void clearLastDiagnostic();
// One line: "kernel: unite: Standard_ConstructionError: gp_Dir() - input vector has zero norm".
std::string toString(const Diagnostic& d);

using DiagnosticSink = std::function<void(const Diagnostic&)>;
// Where diagnostics go as they are reported (nowhere by default); gives back the previous sink.
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

} // namespace zhost
