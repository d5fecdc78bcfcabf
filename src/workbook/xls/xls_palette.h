// The colour palette of an .xls workbook: cell formats and fonts name their
// colours by index, 8..63 into a palette of 56 colours the PALETTE record
// may change.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "workbook/model/style_colors.h"

namespace vemo::wb::xls {

// Automatic colours: the window's text and background, and a font's own.
inline constexpr std::uint16_t kAutoForeground = 64, kAutoBackground = 65, kAutoFont = 0x7FFF;

class Palette {
 public:
  // The default colours.
  Palette();
  // The colours of PALETTE record data; the default for data too short.
  static Palette FromRecord(const std::string& data);

  // Gives each colour of `wanted` an entry of its own when it has none yet
  // and `replace` allows, replacing entries no wanted colour matches while
  // there are some; counts the others as approximated.
  void Fit(const std::vector<Rgb>& wanted, bool replace);
  // The index of `rgb` (its nearest colour when no entry matches), or
  // `automatic` for nullopt.
  std::uint16_t Index(std::optional<Rgb> rgb, std::uint16_t automatic) const;
  // The colour of index `icv`; nullopt for the automatic ones.
  std::optional<Rgb> Color(std::uint16_t icv) const;
  // Wanted colours that got the nearest entry instead of their own.
  std::size_t approximated() const { return approximated_; }
  bool changed() const;
  std::string Record() const;

 private:
  std::array<Rgb, 56> entries_;
  std::size_t approximated_ = 0;
};

}  // namespace vemo::wb::xls
