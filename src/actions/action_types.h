// The public enumerations of the export classes, with the host's numbers.
#pragma once

namespace vemo::actions {

enum class ActionTypeEnum : int {
  SingleExpToEmail = 1,
  SingleExpToFile = 2,
  SinglePrint = 3,
  SinglePrintView = 4,
  MultiExpToEmial = 5,  // the host's own spelling
  MultiExpToFile = 6,
  MultiPrint = 7,
  MultiPrintView = 8,
};

enum class PrintTypeEnum : int {
  PrintAction = 1,
  PrintViewAction = 2,
};

}  // namespace vemo::actions
