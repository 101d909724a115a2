// What a chunk decoder needs to know about the file it decodes: the file's 'vers' version (two
// layouts depend on it), its name for log lines and the log sink of the object doing the reading.
#pragma once

#include <string>
#include <string_view>

#include "platform/QelLog.h"

class GigaChunkContext {
public:
    GigaChunkContext(const QelLog& log, std::string_view fileName, int version)
        : log_(log), fileName_(fileName), version_(version)
    {
    }

    int Version() const { return version_; }
    const std::string& FileName() const { return fileName_; }
    const QelLog& Log() const { return log_; }

    // Logs "*** <where>(<file>): <why> ***".
    void Warn(std::string_view where, std::string_view why) const
    {
        log_.Log("*** %.*s(%s): %.*s ***", static_cast<int>(where.size()), where.data(),
                 fileName_.c_str(), static_cast<int>(why.size()), why.data());
    }
    // Warns and answers false, so callers can `return Refuse(...)`.
    bool Refuse(std::string_view where, std::string_view why) const
    {
        Warn(where, why);
        return false;
    }

private:
    const QelLog& log_;
    std::string fileName_;
    int version_;
};
