// The engine a request asks for, given the request as the host would hand it
// over: shared by vemoprint fill and vemoprint check, so the check sees the
// same engine state the fill would use.
#pragma once
#include <memory>
#include <string>

#include "engine/excel_operater.h"
#include "request_file.h"

namespace vemo::app {

// "bill", "report" or "waybill"; anything else raises UsageError.
void CheckEngineName(const std::string& engineName);

// The engine with the report values, item values, data source type and
// waybill source of the request set (before any template is opened).
std::unique_ptr<engine::TemplateEngine> EngineForRequest(const std::string& engineName, const Request& request);

// Hands the bill over: data service, data, field dictionary.
void GiveBill(engine::TemplateEngine& engine, const Request& request);

}  // namespace vemo::app
