// The editor command where the host has no window backend (the Windows build, for now): the
// command line stays the same, and the command says why it cannot run.
#include <stdexcept>

#include "tools/marlet-host/EditorSession.h"

void EditorSession::Run(std::ostream&, std::ostream&) const
{
    throw std::runtime_error("the editor command is not available in this build");
}
