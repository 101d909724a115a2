// Builds paths under a few well-known folders. The path always ends in the separator.
#pragma once

#include <string>
#include <string_view>

#include "platform/QelLog.h"

class UDir : public QelLog {
public:
    enum Kind { kModuleFolder = 0, kCommonAppData = 1, kDesktop = 2 };

    explicit UDir(int kind);

    // Appends name; when that folder does not exist the path stays as it was and false returns.
    bool Enter(std::string_view name);
    // Enter, else create the folder; on failure the path stays as it was.
    bool EnterOrCreate(std::string_view name);
    // Cuts the last component.
    void Up();
    // The path followed by name and, when ext is given, a '.' (unless ext has one) and ext.
    std::string FilePath(std::string_view name, std::string_view ext = {}) const;

    const std::string& Path() const { return path_; }
    bool Valid() const { return valid_; }

private:
    void Normalise();

    std::string path_;
    bool valid_ = false;
};
