#include "riff/UDir.h"

#include "platform/Platform.h"

namespace {

constexpr char kSeparator = platform::kPathSeparator;

}  // namespace

UDir::UDir(int kind)
{
    switch (kind) {
        case kModuleFolder: {
            std::string module = platform::ModulePath();
            std::size_t cut = module.find_last_of(kSeparator);
            if (cut != std::string::npos) path_ = module.substr(0, cut + 1);
            break;
        }
        case kCommonAppData:
            path_ = platform::CommonAppDataFolder();
            break;
        case kDesktop:
            path_ = platform::DesktopFolder();
            break;
        default:
            Log("*** UDir::UDir(%d) unknown folder ***", kind);
            break;
    }
    Normalise();
    valid_ = !path_.empty();
}

void UDir::Normalise()
{
    while (!path_.empty() && path_.back() == ' ') path_.pop_back();
    if (!path_.empty() && path_.back() != kSeparator) path_ += kSeparator;
}

bool UDir::Enter(std::string_view name)
{
    if (!valid_ || name.empty()) return false;
    std::string entered = path_;
    entered.append(name);
    if (!platform::FolderExists(entered)) return false;
    path_ = entered + kSeparator;
    return true;
}

bool UDir::EnterOrCreate(std::string_view name)
{
    if (Enter(name)) return true;
    if (!valid_ || name.empty()) return false;
    std::string entered = path_;
    entered.append(name);
    if (!platform::CreateFolder(entered)) {
        Log("*** UDir::EnterOrCreate(%s) cannot create ***", entered.c_str());
        return false;
    }
    path_ = entered + kSeparator;
    return true;
}

void UDir::Up()
{
    if (path_.size() < 2) return;
    std::size_t cut = path_.find_last_of(kSeparator, path_.size() - 2);
    if (cut != std::string::npos) path_.resize(cut + 1);
}

std::string UDir::FilePath(std::string_view name, std::string_view ext) const
{
    std::string file = path_;
    file.append(name);
    if (!ext.empty()) {
        if (ext.front() != '.') file += '.';
        file.append(ext);
    }
    return file;
}
