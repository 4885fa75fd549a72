#pragma once
// Dropping a dial-up line through NetworkManager's command-line tool. The
// feature exists only when `nmcli` is on the PATH; without it every call
// does nothing.
#include <string>
#include <vector>

namespace qm {

struct cDialUpConnection {
  std::string uuid;
  std::string name;
  std::string type;  // gsm, cdma, pppoe, ...
};

// Looks for `nmcli` on the PATH; remembers and returns whether it was found.
bool LoadRasLibrary();
bool RasAvailable();
// The program found by LoadRasLibrary (empty when none).
const std::string& RasProgram();

// Splits one line of `nmcli -t` output into its fields ("\:" and "\\" are
// the escaped colon and backslash).
std::vector<std::string> SplitTerseLine(const std::string& line);
// True for the connection types that stand for a modem or PPP line.
bool IsDialUpType(const std::string& type);

// The active dial-up connections. False when the tool could not be run or
// did not end successfully.
bool EnumDialUpConnections(std::vector<cDialUpConnection>& out);

// Hangs up the one active dial-up connection. Nothing happens without the
// tool, without a connection, or with more than one (which one the user
// meant is not known). A failing hang-up is reported through ReportError.
void HangUpNow();

// Runs a program with arguments (no shell), collecting its standard output.
// Returns the exit status, or -1 when it could not be started.
int RunProgramCapture(const std::string& program, const std::vector<std::string>& args, std::string& output);

}  // namespace qm
