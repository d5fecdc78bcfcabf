// The three kinds of document the component fills: a bill (with its item
// labels and data-source-type-1 reports), a report, a courier waybill. Every
// layer keys what differs between them on this one enum.
#pragma once

namespace vemo {

enum class DocumentKind { Bill, Report, Waybill };

}  // namespace vemo
