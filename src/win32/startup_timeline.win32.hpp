// Marks on the way from process start to the painted panel, for measuring
// the start. When the environment variable KOVAN_STARTUP_TIMELINE names a
// file, every mark appends one line to it: the performance counter (which is
// the same clock in every process) and what was just done. Without it a mark
// costs one test of a flag.
#pragma once

namespace kovan::timeline {

void Mark(const char* what);

}  // namespace kovan::timeline
