// The engine's view of a playable zone. The voice engine keeps its own per-zone settings in
// derived classes; the file model only needs a polymorphic base so zones can be destroyed through
// it.
#pragma once

class KyZone {
public:
    virtual ~KyZone() = default;
};
