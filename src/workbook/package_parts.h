// Relationship and content-type bookkeeping of the package: adding and
// removing relationships and overrides, and resolving relationship targets.
#pragma once
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

}  // namespace vemo::wb
