// Relationship and content-type bookkeeping of the package: adding and
// removing relationships and overrides, and resolving relationship targets.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vemo::wb {

class Workbook;

// Part name a relationship target of `sourcePart` points at ("../media/a.png"
// from xl/drawings/drawing1.xml gives xl/media/a.png). `sourcePart` "" is the package root.
std::string ResolveTarget(std::string_view sourcePart, std::string_view target);

// Returns the new relationship id.
std::string AddRelationship(Workbook& book, const std::string& sourcePart, std::string_view type,
                            std::string_view target);
void RemoveRelationship(Workbook& book, const std::string& sourcePart, std::string_view id);
void AddContentTypeOverride(Workbook& book, std::string_view partName, std::string_view contentType);
void RemoveContentTypeOverride(Workbook& book, std::string_view partName);

// Gives every external relationship of the package whose type ends in
// `typeSuffix` ("/image") the target `retarget` answers for its present one,
// leaving those it answers nullopt for; returns how many were changed. A
// relationship part with nothing to change is not rewritten.
int RetargetExternalLinks(Workbook& book, std::string_view typeSuffix,
                          const std::function<std::optional<std::string>(std::string_view target)>& retarget);

}  // namespace vemo::wb
