// Windows has no desktop dialog programs (zenity, kdialog) to run, and the web browser starts
// through OpenWebPage. Nothing is found, so nothing is started: UFileNav then shows its own
// dialog over the editor.
#include "platform/ChildProcess.h"

namespace platform {

ChildProcess::~ChildProcess()
{
    Stop();
}

std::string ChildProcess::Find(const std::string&)
{
    return {};
}

bool ChildProcess::Start(const std::string&, const std::vector<std::string>&)
{
    return false;
}

bool ChildProcess::Poll()
{
    return true;
}

void ChildProcess::Stop()
{
    pid_ = 0;
}

bool ChildProcess::StartDetached(const std::string&, const std::vector<std::string>&)
{
    return false;
}

}  // namespace platform
