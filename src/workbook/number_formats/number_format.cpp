#include "workbook/number_format.h"

#include <cmath>
#include <functional>
#include <unordered_map>

#include "workbook/number_formats/number_format_decimal.h"
#include "workbook/number_formats/number_format_render.h"
#include "workbook/number_formats/number_format_sections.h"

namespace vemo::wb {

using numfmt::Section;
using numfmt::SectionKind;

NumberFormat NumberFormat::Parse(std::string_view code) {
  NumberFormat f;
  f.code_ = std::string(code);
  f.parsed_ = std::make_shared<numfmt::ParsedFormat>(numfmt::ParseFormatCode(code));
  return f;
}

bool NumberFormat::IsGeneral() const { return parsed_->isGeneral; }

bool NumberFormat::IsDateTime() const {
  const auto& p = *parsed_;
  return !p.numberSections.empty() &&
         p.sections[static_cast<size_t>(p.numberSections.front())].kind == SectionKind::DateTime;
}

bool NumberFormat::IsText() const {
  const auto& p = *parsed_;
  return p.sections.size() == 1 && p.sections.front().kind == SectionKind::Text;
}

namespace {

struct Choice {
  const Section* section = nullptr;  // nullptr: General
  bool showMinus = false;
};

Choice ChooseSection(const numfmt::ParsedFormat& p, double value) {
  const auto& ids = p.numberSections;
  const int count = static_cast<int>(ids.size());
  if (count == 0) return {nullptr, value < 0};
  auto at = [&](int k) { return &p.sections[static_cast<size_t>(ids[static_cast<size_t>(k)])]; };
  const bool conditional = at(0)->condition.op != numfmt::Condition::Op::None ||
                           (count > 1 && at(1)->condition.op != numfmt::Condition::Op::None);
  if (!conditional) {
    if (count == 1 || value > 0) return {at(0), value < 0};
    if (value < 0) return {at(1), false};
    return {count >= 3 ? at(2) : at(0), false};
  }
  int k = 0;
  if (!at(0)->condition.Matches(value)) {
    k = (count >= 3 && !at(1)->condition.Matches(value)) ? 2 : (count >= 2 ? 1 : 0);
  }
  const Section* s = at(k);
  return {s, value < 0 && !s->condition.SelectsOnlyNonPositive()};
}

std::string RenderSection(const Section& s, double magnitude, bool date1904) {
  std::string text;
  switch (s.kind) {
    case SectionKind::DateTime: return numfmt::RenderDateTime(s, magnitude, date1904);
    case SectionKind::Scientific: text = numfmt::RenderScientific(s, magnitude); break;
    case SectionKind::Fraction: text = numfmt::RenderFraction(s, magnitude); break;
    case SectionKind::Text: text = numfmt::FormatGeneralMagnitude(magnitude); break;
    case SectionKind::Number: text = numfmt::RenderNumber(s, magnitude); break;
  }
  return numfmt::ApplyChineseNumerals(text, s.dbnum);
}

}  // namespace

std::string NumberFormat::Format(double value, bool date1904) const {
  if (!std::isfinite(value)) return "#NUM!";
  const auto& p = *parsed_;
  if (p.isGeneral) return (value < 0 ? "-" : "") + numfmt::FormatGeneralMagnitude(std::fabs(value));
  const Choice choice = ChooseSection(p, value);
  if (!choice.section) return (value < 0 ? "-" : "") + numfmt::FormatGeneralMagnitude(std::fabs(value));
  if (choice.section->kind == SectionKind::DateTime && choice.showMinus) return "########";
  const std::string text = RenderSection(*choice.section, std::fabs(value), date1904);
  return choice.showMinus ? "-" + text : text;
}

std::string NumberFormat::FormatText(std::string_view text) const {
  const auto& p = *parsed_;
  if (p.textSection < 0) return std::string(text);
  return numfmt::RenderText(p.sections[static_cast<size_t>(p.textSection)], text);
}

namespace {

// Lets the cache be searched with a string_view without building a string.
struct CodeHash {
  using is_transparent = void;
  size_t operator()(std::string_view code) const { return std::hash<std::string_view>{}(code); }
};

const NumberFormat& Cached(std::string_view code) {
  thread_local std::unordered_map<std::string, NumberFormat, CodeHash, std::equal_to<>> cache;
  auto it = cache.find(code);
  if (it != cache.end()) return it->second;
  if (cache.size() > 256) cache.clear();  // bounded: templates use few codes
  return cache.emplace(std::string(code), NumberFormat::Parse(code)).first->second;
}

}  // namespace

std::string NumberToText(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  return (value < 0 ? "-" : "") + numfmt::FormatGeneralUnlimited(std::fabs(value));
}

std::string FormatNumber(double value, std::string_view formatCode, bool date1904) {
  return Cached(formatCode).Format(value, date1904);
}

std::string FormatText(std::string_view text, std::string_view formatCode) {
  return Cached(formatCode).FormatText(text);
}

}  // namespace vemo::wb
