#pragma once
// Lets tests see which window a command asked for without a window opening.
#include <functional>
#include <string>

namespace qm {

// While a tracer is set, the windows that check it report to it instead of
// opening; returns whether one was set.
using EntryPointTracer = std::function<void(const std::string& entry_point)>;
void SetEntryPointTracer(EntryPointTracer tracer);
bool TraceWindowEntryPoint(const std::string& entry_point);

}  // namespace qm
