// The millisecond clock of the export-to-file action and the text of its
// "done" message.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/installed.h"

namespace vemo::actions {

// Milliseconds of a monotonic clock.
std::int64_t TickCount();

// Tests: TickCount answers from `source` for the object's lifetime.
using TickSource = std::function<std::int64_t()>;
Installed<TickSource>& InstalledTickSource();
using ScopedTickSource = ScopedInstall<TickSource, &InstalledTickSource>;

// Elapsed milliseconds as seconds in the form "#,##0.00", rounded half away
// from zero: 500 -> "0.50", 1234500 -> "1,234.50".
std::string FormatElapsedSeconds(std::int64_t milliseconds);

// "引出文件成功，耗时：<seconds>秒。" CR LF CR LF "是否打开导出的文件？"
std::string ExportDoneQuestion(std::int64_t milliseconds);

}  // namespace vemo::actions
