// Everything the system creates by identifier, registered in one step: the
// login services, the company database's components, our spreadsheet
// application, the component's public classes; with them the print service
// (renderer, CUPS, preview folder) and the engines' template check used by
// the setup dialogs. Both the command line and the C interface start here.
#pragma once
#include <string>

namespace vemo::automation {

// Components a host registered itself are kept. Safe to call more than once.
void RegisterComponents();

// Publishes the login for this process: the JSON session file, or without
// one (empty) the account $VEMO_DATABASE (else the sample company) and the
// user $VEMO_USER (else Administrator), as the host would log in a clerk at
// this machine. Raises when the session file cannot be read.
void OpenSession(const std::string& sessionFile);

}  // namespace vemo::automation
