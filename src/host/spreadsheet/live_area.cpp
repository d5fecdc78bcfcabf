#include "host/spreadsheet/live_area.h"

#include <algorithm>

namespace vemo::host {
namespace {

// One axis: [first, last] within [1, limit], `count` lines inserted before `at`.
void Shift(int& first, int& last, int at, int count, int limit) {
  if (first >= at) {
    first = std::min(first + count, limit);
    last = std::min(last + count, limit);
  } else if (last >= at) {
    last = std::min(last + count, limit);
  }
}

}  // namespace

void AdjustForInsertedRows(Area& area, int at, int count) {
  if (count <= 0 || area.WholeColumns()) return;
  Shift(area.top, area.bottom, at, count, kSheetRows);
}

void AdjustForInsertedColumns(Area& area, int at, int count) {
  if (count <= 0 || area.WholeRows()) return;
  Shift(area.left, area.right, at, count, kSheetColumns);
}

std::shared_ptr<Area> LiveAreas::Track(const Area& area) {
  // Drop the areas of ranges that are gone before the list grows, so a scan
  // that makes one range per found cell keeps the list short.
  if (areas_.size() >= 64 && areas_.size() % 64 == 0)
    std::erase_if(areas_, [](const std::weak_ptr<Area>& w) { return w.expired(); });
  auto shared = std::make_shared<Area>(area);
  areas_.push_back(shared);
  return shared;
}

template <class F>
void LiveAreas::ForEach(F&& f) {
  std::erase_if(areas_, [](const std::weak_ptr<Area>& w) { return w.expired(); });
  for (auto& weak : areas_)
    if (auto area = weak.lock()) f(*area);
}

void LiveAreas::RowsInserted(int at, int count) {
  ForEach([&](Area& a) { AdjustForInsertedRows(a, at, count); });
}

void LiveAreas::ColumnsInserted(int at, int count) {
  ForEach([&](Area& a) { AdjustForInsertedColumns(a, at, count); });
}

std::size_t LiveAreas::LiveCount() {
  std::size_t n = 0;
  ForEach([&](Area&) { ++n; });
  return n;
}

}  // namespace vemo::host
