#pragma once
// Lets tests see which window a command asked for without a window opening.
#include <functional>
#include <string>

namespace qm {

// While a tracer is set, placeholders report to it instead of showing their
// message; returns whether one was set.
using EntryPointTracer = std::function<void(const std::string& entry_point)>;
void SetEntryPointTracer(EntryPointTracer tracer);
bool TraceWindowEntryPoint(const std::string& entry_point);

}  // namespace qm
