#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {
EntryPointTracer& Tracer() {
  static EntryPointTracer tracer;
  return tracer;
}
}  // namespace

void SetEntryPointTracer(EntryPointTracer tracer) { Tracer() = std::move(tracer); }

bool TraceWindowEntryPoint(const std::string& entry_point) {
  if (!Tracer()) return false;
  Tracer()(entry_point);
  return true;
}

}  // namespace qm
