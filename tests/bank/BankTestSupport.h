// What the bank tests share: a tone stand-in that records load reports, a captured log, file
// byte surgery, and preference values restored after each test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fixtures/TempFolder.h"
#include "gig/GigaLoadReport.h"
#include "platform/QelLog.h"
#include "prefs/GigaPrefs.h"

namespace testsupport {

class RecordingReport : public GigaLoadReport {
public:
    void LoadStatus(int status) override { statuses.push_back(status); }
    void LoadProgress(int done, int total) override { progress.emplace_back(done, total); }
    void Clear()
    {
        statuses.clear();
        progress.clear();
    }

    std::vector<int> statuses;
    std::vector<std::pair<int, int>> progress;
};

class CapturedLog {
public:
    CapturedLog() { QelLog::OpenSink(folder_.File("log.txt")); }
    ~CapturedLog() { QelLog::CloseSink(); }
    std::string Text() const
    {
        const auto bytes = ReadFileBytes(folder_.File("log.txt"));
        return std::string(bytes.begin(), bytes.end());
    }
    bool Has(std::string_view line) const { return Text().find(line) != std::string::npos; }

private:
    TempFolder folder_;
};

class PreloadSeconds {
public:
    PreloadSeconds(float minimum, float tolerance)
        : minimum_(GigaPrefs::Instance().PreloadMinimum()),
          tolerance_(GigaPrefs::Instance().PreloadTolerance())
    {
        GigaPrefs::Instance().SetPreloadMinimum(minimum);
        GigaPrefs::Instance().SetPreloadTolerance(tolerance);
    }
    ~PreloadSeconds()
    {
        GigaPrefs::Instance().SetPreloadMinimum(minimum_);
        GigaPrefs::Instance().SetPreloadTolerance(tolerance_);
    }

private:
    float minimum_, tolerance_;
};

// Replaces the `nth` occurrence (from 0) of `from` in the file with `to` (same length).
inline bool Patch(const std::string& path, std::string_view from, std::string_view to, int nth = 0)
{
    auto bytes = ReadFileBytes(path);
    auto at = bytes.begin();
    for (int i = 0; i <= nth; ++i) {
        if (i > 0) ++at;
        at = std::search(at, bytes.end(), from.begin(), from.end());
        if (at == bytes.end()) return false;
    }
    std::copy(to.begin(), to.end(), at);
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

// Moves the `nth` 'ewav' chunk of the file in front of the 'data' chunk of its wave, where
// writers that store the compression header first keep it.
inline bool EwavBeforeData(const std::string& path, int nth = 0)
{
    auto bytes = ReadFileBytes(path);
    constexpr std::string_view ewav = "ewav", data = "data";
    auto header = std::search(bytes.begin(), bytes.end(), ewav.begin(), ewav.end());
    for (int i = 0; i < nth && header != bytes.end(); ++i)
        header = std::search(header + 1, bytes.end(), ewav.begin(), ewav.end());
    if (bytes.end() - header < 8) return false;
    const auto at = std::find_end(bytes.begin(), header, data.begin(), data.end());
    // 'ewav' payloads are shorter than 256 bytes.
    std::rotate(at, header, header + 8 + static_cast<std::uint8_t>(header[4]));
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

}  // namespace testsupport
