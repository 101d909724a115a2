// A process-wide object of the library, made on first use and destroyed with the library's
// statics (at unload or exit), except when the process is ending on Windows: its threads have
// then been stopped wherever they were, and a destructor that joins or locks could wait for
// ever. Then the object is left to the system, which frees memory and closes files anyway.
// An object whose thread may have to be given up says so with `bool StaysAtTeardown()`, asked
// before it goes: true leaves it to that thread (and to the system at exit).
#pragma once

#include "platform/Platform.h"

namespace platform {

template <typename T>
T& LibraryStatic()
{
    struct Holder {
        T* object;
        explicit Holder(T* made) : object(made) {}
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder()
        {
            if (ProcessEnding()) return;
            if constexpr (requires(T & t) { static_cast<bool>(t.StaysAtTeardown()); }) {
                if (object->StaysAtTeardown()) return;
            }
            delete object;
        }
    };
    // Complete after the object (and whatever its constructor made first), so it goes before
    // them.
    static Holder holder {new T};
    return *holder.object;
}

}  // namespace platform
