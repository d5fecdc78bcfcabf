// The style part of a workbook read from .xls: its fonts, fills, borders and
// cell formats made from the FONT and XF records, colours through the
// workbook's palette.
#pragma once
#include <string>

#include "workbook/xls/xls_source.h"

namespace vemo::wb::xls {

// `numFmts` is the <numFmts> element (empty when there is none).
std::string StylePartXml(const XlsSource& source, const std::string& numFmts);

}  // namespace vemo::wb::xls
