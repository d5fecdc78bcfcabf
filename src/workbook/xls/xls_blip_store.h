// The picture store of an .xls workbook (the blips in the MSODRAWINGGROUP
// records of the globals) as the picture files an .xlsx package holds.
#pragma once
#include <string>
#include <vector>

#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

struct PictureFile {
  std::string bytes;      // the file; empty when the picture is not carried
  std::string extension;  // png, jpeg, gif, tiff, bmp, emf, wmf
  std::string problem;    // when not carried, why, as the save's warning names it
};

// The store's pictures by the 1-based index picture frames name them with
// (entry 0 stands for no picture). A PNG, JPEG, GIF or TIFF is carried as it
// is stored; a DIB gets the file header of a BMP; EMF and WMF are inflated
// when stored compressed, a WMF given the placeable header readers expect.
// PICT pictures, entries whose picture lies outside the store and damaged
// entries are not carried. Bounded by the records: nothing read is trusted.
std::vector<PictureFile> ReadBlipStore(const std::vector<BiffRecord>& globals);

}  // namespace vemo::wb::xls
