#include "host/database/server_settings.h"

#include <nlohmann/json.hpp>

#include "context/machine_config.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"

namespace vemo::host {

namespace {
void Add(const Json& config, const char* member, ServerKeywords& out) {
  if (!config.contains(member) || !config[member].is_object()) return;
  for (const auto& [key, value] : config[member].items()) {
    for (const char* reserved : {"host", "hostaddr", "port", "dbname"})
      if (EqualsIgnoreCase(key, reserved))
        throw HostError("database.json of the machine configuration sets \"" + key +
                        "\"; the server and database come from the connection string, remove it there");
    out.emplace_back(key, value.is_string() ? value.get<std::string>() : value.dump());
  }
}
}  // namespace

ServerKeywords ServerSettings(ServerRole role) {
  ServerKeywords keywords{{"connect_timeout", "10"}, {"client_encoding", "UTF8"},
                          {"application_name", role == ServerRole::Reader ? "vemoprint-query" : "vemoprint"}};
  if (auto config = context::ReadMachineConfigFile("database.json")) {
    Add(*config, "connect", keywords);
    if (role == ServerRole::Reader) Add(*config, "query", keywords);
  }
  return keywords;
}

bool QueriesConnectApart() {
  auto config = context::ReadMachineConfigFile("database.json");
  return config && config->contains("query") && (*config)["query"].is_object() && !(*config)["query"].empty();
}

}  // namespace vemo::host
