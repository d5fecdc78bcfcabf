// The style part of a workbook read from .xls: its fonts, fills, borders and
// cell formats made from the FONT and XF records, colours through the
// workbook's palette.
#pragma once
#include <string>

#include "workbook/xls/xls_source.h"

namespace vemo::wb::xls {

class Palette;

// `numFmts` is the <numFmts> element (empty when there is none).
std::string StylePartXml(const XlsSource& source, const std::string& numFmts);

// The properties of a FONT record as the children of a <font> element
// (bold, italic, size, colour, name...).
std::string FontPropertiesXml(const std::string& fontRecord, const Palette& palette);

}  // namespace vemo::wb::xls
