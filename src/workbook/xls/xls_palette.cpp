#include "workbook/xls/xls_palette.h"

#include <algorithm>

#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

namespace {
long Distance(Rgb a, Rgb b) {
  long d = 0;
  for (int shift : {16, 8, 0}) {
    const long c = static_cast<long>((a >> shift) & 0xFF) - static_cast<long>((b >> shift) & 0xFF);
    d += c * c;
  }
  return d;
}
}  // namespace

Palette::Palette() { std::copy(kDefaultPalette.begin() + 8, kDefaultPalette.end(), entries_.begin()); }

Palette Palette::FromRecord(const std::string& data) {
  Palette p;
  if (data.size() < 2 + 4 * 56u || Read16(data, 0) != 56) return p;
  for (std::size_t i = 0; i < 56; ++i) {
    const auto byte = [&](std::size_t k) { return static_cast<Rgb>(static_cast<std::uint8_t>(data[2 + 4 * i + k])); };
    p.entries_[i] = byte(0) << 16 | byte(1) << 8 | byte(2);
  }
  return p;
}

void Palette::Fit(const std::vector<Rgb>& wanted, bool replace) {
  std::array<bool, 56> used{};
  std::vector<Rgb> missing;
  for (Rgb rgb : wanted) {
    auto it = std::find(entries_.begin(), entries_.end(), rgb);
    if (it != entries_.end()) used[static_cast<std::size_t>(it - entries_.begin())] = true;
    else if (std::find(missing.begin(), missing.end(), rgb) == missing.end()) missing.push_back(rgb);
  }
  std::size_t slot = 0;
  for (Rgb rgb : missing) {
    while (slot < used.size() && used[slot]) ++slot;
    if (!replace || slot == used.size()) {
      ++approximated_;
      continue;
    }
    entries_[slot] = rgb;
    used[slot] = true;
  }
}

std::uint16_t Palette::Index(std::optional<Rgb> rgb, std::uint16_t automatic) const {
  if (!rgb) return automatic;
  std::size_t best = 0;
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (Distance(entries_[i], *rgb) < Distance(entries_[best], *rgb)) best = i;
  return static_cast<std::uint16_t>(best + 8);
}

std::optional<Rgb> Palette::Color(std::uint16_t icv) const {
  if (icv < 8) return kDefaultPalette[icv];
  if (icv < 64) return entries_[icv - 8u];
  return std::nullopt;
}

bool Palette::changed() const { return !std::equal(entries_.begin(), entries_.end(), kDefaultPalette.begin() + 8); }

std::string Palette::Record() const {
  std::string d;
  Append16(d, 56);
  for (Rgb rgb : entries_) {
    d += static_cast<char>(rgb >> 16 & 0xFF);
    d += static_cast<char>(rgb >> 8 & 0xFF);
    d += static_cast<char>(rgb & 0xFF);
    d += '\0';
  }
  return d;
}

}  // namespace vemo::wb::xls
