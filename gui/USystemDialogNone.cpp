// Systems without file dialogs of their own: UFileNav runs the desktop's dialog programs.
#include "gui/USystemDialog.h"

std::unique_ptr<USystemDialog> USystemDialog::Make(Kind, std::string, Filters)
{
    return nullptr;
}
