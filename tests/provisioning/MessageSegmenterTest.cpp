#include "MessageSegmenter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using mailvane::provisioning::MessageSegmenter;

namespace {

std::string pushOfDigits(std::size_t digits)
{
    std::string push;
    for (std::size_t i = 0; i < digits / 2; ++i) {
        static constexpr char hexDigits[] = "0123456789ABCDEF";
        push.push_back(hexDigits[(i >> 4) & 0xf]);
        push.push_back(hexDigits[i & 0xf]);
    }
    return push;
}

std::vector<std::uint8_t> headerBytes(const MessageSegmenter& segmenter, int reference,
                                      int sequence)
{
    const auto header = segmenter.buildHeader(static_cast<std::uint8_t>(reference),
                                              static_cast<std::uint8_t>(sequence));
    EXPECT_TRUE(header.isByteArray());
    EXPECT_EQ(header.lowerBound, 0);
    return header.bytes;
}

} // namespace

TEST(MessageSegmenter, pushThatFitsOneMessageGoesWholeWithPortHeader)
{
    MessageSegmenter segmenter;
    const std::string push = pushOfDigits(266);
    segmenter.countMessages(push);
    ASSERT_EQ(segmenter.messageCount(), 1);
    const auto segment = segmenter.cutSegment(push, 0);
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->size(), 133u);
    EXPECT_EQ(segmenter.segmentLength(), 267);
    EXPECT_EQ(headerBytes(segmenter, 9, 1),
              (std::vector<std::uint8_t>{0x06, 0x05, 0x04, 0x0B, 0x84, 0x0B, 0x84}));
    EXPECT_FALSE(segmenter.cutSegment(push, 1));
}

TEST(MessageSegmenter, countsAndCutsAtTheBoundaries)
{
    MessageSegmenter segmenter;
    const std::string push268 = pushOfDigits(268);
    segmenter.countMessages(push268);
    ASSERT_EQ(segmenter.messageCount(), 2);
    EXPECT_EQ(segmenter.cutSegment(push268, 0)->size(), 128u);
    const auto last = segmenter.cutSegment(push268, 1);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->size(), 6u);
    EXPECT_EQ((*last)[0], 128u); // byte 128 of the push; the test pattern counts bytes

    const std::string push512 = pushOfDigits(512);
    segmenter.countMessages(push512);
    EXPECT_EQ(segmenter.messageCount(), 2);
    EXPECT_EQ(segmenter.cutSegment(push512, 1)->size(), 128u);
    EXPECT_FALSE(segmenter.cutSegment(push512, 2));

    segmenter.countMessages(pushOfDigits(8190));
    EXPECT_EQ(segmenter.messageCount(), 32);
}

TEST(MessageSegmenter, indexIsTakenModulo256)
{
    MessageSegmenter segmenter;
    const std::string push = pushOfDigits(600);
    segmenter.countMessages(push);
    ASSERT_EQ(segmenter.messageCount(), 3);
    EXPECT_EQ(segmenter.cutSegment(push, 257), segmenter.cutSegment(push, 1));
}

TEST(MessageSegmenter, decodesDigitsOfEitherCase)
{
    MessageSegmenter segmenter;
    segmenter.countMessages("aBcD");
    EXPECT_EQ(segmenter.cutSegment("aBcD", 0), (std::vector<std::uint8_t>{0xAB, 0xCD}));
}

TEST(MessageSegmenter, concatenationHeaderCarriesReferenceCountAndSequence)
{
    MessageSegmenter segmenter;
    segmenter.countMessages(pushOfDigits(5 * 256));
    ASSERT_EQ(segmenter.messageCount(), 5);
    EXPECT_EQ(headerBytes(segmenter, 7, 3),
              (std::vector<std::uint8_t>{0x0B, 0x05, 0x04, 0x0B, 0x84, 0x0B, 0x84, 0x00, 0x03, 0x07,
                                         0x05, 0x03}));
}

TEST(MessageSegmenter, referenceStartsAtOneAndWrapsAfter255)
{
    MessageSegmenter segmenter;
    EXPECT_EQ(segmenter.nextReference(), 1);
    EXPECT_EQ(segmenter.nextReference(), 2);
    for (int i = 3; i < 255; ++i)
        segmenter.nextReference();
    EXPECT_EQ(segmenter.nextReference(), 255);
    EXPECT_EQ(segmenter.nextReference(), 0);
    EXPECT_EQ(segmenter.nextReference(), 1);
}
