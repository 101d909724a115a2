#include "tools/marlet-host/WavFile.h"

#include <gtest/gtest.h>

#include <array>

#include "fixtures/TempFolder.h"
#include "tests/support/WavReader.h"

namespace {

TEST(HostWavFile, InterleavesPlanarBlocksIntoAFloatFile)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("out.wav");
    {
        WavFile wav(path, 3, 48000);
        for (int block = 0; block < 2; ++block) {
            std::array<std::array<float, 4>, 3> data {};
            for (int c = 0; c < 3; ++c)
                for (int f = 0; f < 4; ++f)
                    data[c][f] = static_cast<float>(c) + 0.1f * (block * 4 + f);
            const std::array<const float*, 3> channels {data[0].data(), data[1].data(),
                                                        data[2].data()};
            wav.Write(channels, block == 0 ? 4 : 3);  // a short last block, as in a render
        }
        wav.Close();
    }
    const testsupport::WavReader read(path);
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_TRUE(read.IsFloat());
    EXPECT_EQ(read.Channels(), 3);
    EXPECT_EQ(read.SampleRate(), 48000);
    ASSERT_EQ(read.Frames(), 7);
    for (int f = 0; f < 7; ++f)
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(read.Sample(f, c), c + 0.1f * f) << f << "," << c;
}

}  // namespace
