// The performance format, for performance files and host states alike:
//
//   RIFF 'KyGm'
//     LIST 'tone'
//       RIFF 'tone'  (one per tone)
//         'indx' tone index, 'type' tone type
//         RIFF 'kytn'  'name' stack name, 'stak' select mode and lowest key switch,
//                      'midi' channel, 'outb' output bus, 'para' volume, pan and tune,
//                      'part' per layer: 'bank' path, 'prog', 'stak' keys and offset,
//                      'para', 'bend', 'vcau' amplifier offsets, 'vcfu' filter offsets
//                      and switch
//
// Older files hold one layer directly in 'kytn' ('bank', 'prog', then 'bend', 'vcau', 'vcfu').
// Everything read from outside is kept in the ranges the engine computes with.
#pragma once

#include <cstddef>

#include <cstdint>
#include <functional>
#include <span>

#include "engine/GigaToneFacts.h"

class CExpRiff;
class CImpRiff;
class GigaTone;
class QelLog;

class GigaPerformance {
public:
    // The longest layer path the reader takes (its buffer, without the terminating zero);
    // longer ones are refused on reading, so nothing longer may go into a rack.
    static constexpr std::size_t kMaxLayerPath = 511;

    // The rack, one entry per tone index; null entries are left out. False when writing
    // failed.
    static bool Write(CExpRiff& writer, std::span<GigaTone* const> tones);

    // Positions the reader inside the tone list; false (with a log line) when the bytes are not
    // a performance.
    static bool Open(CImpRiff& reader, const QelLog& log);
    // After Open: each tone of the performance is read and handed to the tone `find` answers
    // for its index (none: the tone is skipped, with a log line).
    static void ReadTones(CImpRiff& reader, const QelLog& log,
                          const std::function<GigaTone*(int index)>& find);

    // One tone's chunks, inside 'kytn'. Read answers false when a chunk was refused (an
    // oversized text); what was read besides it is in the record.
    static bool WriteTone(CExpRiff& writer, GigaTone& tone);
    static bool ReadTone(CImpRiff& reader, GigaToneRecord& record);
};
