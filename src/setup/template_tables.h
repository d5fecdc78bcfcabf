// The three template tables the setup dialogs edit (bills by bill type,
// reports by report id, waybills by courier company and data source), side
// by side in one table: how a row key is made, how a template is
// registered, saved and deleted, and which id an imported template must name.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/document_kind.h"
#include "foundation/host_collections.h"

namespace vemo::setup {

// Whose templates a dialog shows, as the dialog knows them now.
struct TemplateOwner {
  std::string props;
  std::string_view updateProgId;  // the update component of the dialog's family
  std::int32_t owner = 0;         // bill type, report id or courier company
  std::int32_t billType = 0;      // the dialog's bill type
  std::int32_t dataFrom = 0;      // waybills only
};

struct TemplateTable {
  DocumentKind kind;
  const char* rowIdField;  // the row's id in the query's "Data" rows
  // The registration's new row key ("owner|id"); raises when the component
  // does not answer one.
  std::string (*insert)(const TemplateOwner& o, const std::string& name, const Variant& contents);
  void (*send)(const TemplateOwner& o, const HostDictionary& set);
  void (*remove)(const TemplateOwner& o, double rowId);
  // The id an imported template names: the owner, or the dialog's bill type.
  bool validatesByOwner;
};

const TemplateTable& TemplateTableOf(DocumentKind kind);

}  // namespace vemo::setup
