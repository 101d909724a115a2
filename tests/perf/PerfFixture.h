// A real GigaPlayer rack for performance tests, plus a small builder of hand-made performance
// files (written with the program's own RIFF writer, in memory) for the reader's edge cases.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "riff/CExpRiff.h"
#include "riff/CImpRiff.h"

namespace perftest {

using Bytes = std::vector<std::byte>;

inline Bytes ChunkOf(GigaPlayer& player)
{
    const std::size_t size = player.SaveToMemory();
    const auto* data = reinterpret_cast<const std::byte*>(player.Chunk().data());
    return Bytes(data, data + size);
}

// Runs the performance reader only: no background load is asked for.
inline bool Read(GigaPlayer& player, std::span<const std::byte> bytes)
{
    CImpRiff reader;
    return reader.OpenRiffMemory(bytes) && player.OnLoad(reader);
}

// Writes a file with `body` between the given outer form and list headers.
inline Bytes Build(const std::function<void(CExpRiff&)>& body, std::string_view form = "KyGm",
                   std::string_view list = "tone")
{
    CExpRiff w;
    w.CreateMemory();
    w.StartChunk("RIFF", form);
    w.StartChunk("LIST", list);
    body(w);
    w.EndChunk();
    w.EndChunk();
    EXPECT_TRUE(w.Close());
    const auto bytes = w.MemoryBytes();
    return Bytes(bytes.begin(), bytes.end());
}

// One tone entry of the list; `tone` writes the chunks inside "kytn".
inline void ToneEntry(CExpRiff& w, int index, const std::function<void(CExpRiff&)>& tone)
{
    const std::int32_t indx[] = {index};
    const std::int32_t type[] = {GigaTone::kTypeCode};
    w.StartChunk("RIFF", "tone");
    w.WriteIntChunk("indx", indx);
    w.WriteIntChunk("type", type);
    w.StartChunk("RIFF", "kytn");
    tone(w);
    w.EndChunk();
    w.EndChunk();
}

inline void Ints(CExpRiff& w, std::string_view id, std::initializer_list<std::int32_t> values)
{
    w.WriteIntChunk(id, std::span(values.begin(), values.size()));
}

inline void Text(CExpRiff& w, std::string_view id, std::string_view text)
{
    w.StartChunk(id);
    w.WriteString(text);
    w.EndChunk();
}

class PerfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player.OnInit();
        player.SetOutputBusCount(16);
        fresh.OnInit();
        fresh.SetOutputBusCount(16);
    }
    void TearDown() override
    {
        player.WaitWhileLoading();
        fresh.WaitWhileLoading();
    }

    GigaTone& Tone(GigaPlayer& p, int i) { return *p.Giga(i); }
    std::string WriteGig(const std::string& name = "perf.gig")
    {
        const std::string path = folder.File(name);
        testsupport::GigFilePlan plan;
        plan.instruments.push_back(plan.instruments[0]);
        plan.instruments[1].name = "Second";
        testsupport::GigWriter(plan).Write(path);
        return path;
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    GigaPlayer player;
    GigaPlayer fresh;
};

}  // namespace perftest
