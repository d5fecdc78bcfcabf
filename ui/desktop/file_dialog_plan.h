// How a file dialog request of the host looks in Qt. The host's filter is
// "description|patterns|description|patterns..." with patterns separated by
// ";" ("*.xls;*.xlsx"); Qt wants one "description (patterns)" entry per
// pair, patterns separated by spaces. A description that already ends with
// its patterns in brackets keeps them once; "*.*" (every file on the host's
// side) becomes "*". filterIndex counts from 1; 0 or one past the end means
// the first pair.
//
// The proposed name may carry a folder (either separator) and may be a
// pattern ("C:\Host\ExcelPrint\*.xlsx"): the folder becomes the starting
// folder (unless the request names one) and a pattern is not proposed as a
// name. Folders go through the path mapping (Windows path strings to host
// paths).
#pragma once
#include <QString>
#include <QStringList>

#include "context/desktop.h"

namespace vemo::ui {

struct FileDialogPlan {
  QString title;
  QStringList nameFilters;
  QString selectedFilter;
  QString directory;         // "" for Qt's own choice
  QString proposedName;      // "" when none (or only a pattern) was proposed
  bool existingFileOnly = false;  // open: the file must exist
  bool confirmOverwrite = false;  // save: ask before replacing a file
  QString defaultSuffix;     // save: the selected filter's extension, added to a name typed without one
};

QStringList QtNameFilters(const std::string& hostFilter);
FileDialogPlan PlanFileDialog(const context::FileDialogRequest& request, bool save);

}  // namespace vemo::ui
