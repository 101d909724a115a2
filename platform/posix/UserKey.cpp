#include "platform/UserKey.h"

namespace platform {

// No such store here: callers keep their own file (kUserKeys is false).
KeyRead ReadUserKey(const std::string&, std::vector<KeyValue>& values, std::size_t)
{
    values.clear();
    return KeyRead::Missing;
}

bool WriteUserKey(const std::string&, const std::vector<KeyValue>&)
{
    return false;
}

}  // namespace platform
