// Transfer counts by model and the capture file round trip.
#include <gtest/gtest.h>

#include "core/capture.h"
#include "support/model_of.h"

using nlx::test::model_of;

namespace nlx {
namespace {

TEST(TransferCount, FormulasByModel) {
    EXPECT_EQ(transfer_count(model_of('a'), 0, 16), 0);
    EXPECT_EQ(transfer_count(model_of('a'), 1, 16), 128);
    EXPECT_EQ(transfer_count(model_of('b'), 0, 20), 4);
    EXPECT_EQ(transfer_count(model_of('d'), 0, 0), -16);
    EXPECT_EQ(transfer_count(model_of('c'), 0, 131), 3);
    EXPECT_EQ(transfer_count(model_of('c'), 200, 131), 3);
    EXPECT_EQ(transfer_count(model_of('c'), 0, 0), -128);
    EXPECT_EQ(transfer_count(model_of('e'), 64, 129), 320);
    EXPECT_EQ(transfer_count(model_of('e'), 40, 128), 40);
    EXPECT_EQ(announced_bytes(model_of('a'), 3), 768u);
    EXPECT_EQ(announced_bytes(model_of('e'), 40), 40u);
    EXPECT_EQ(announced_bytes(model_of('a'), -16), 0u);
}

TEST(TransferCount, CountBytesInvertTheFormulasOverTheirWholeRange) {
    for (char model : {'a', 'b', 'c', 'd', 'e'}) {
        for (int b1 = 0; b1 < 256; ++b1) {
            for (int b2 = 0; b2 < 256; ++b2) {
                std::int32_t n = transfer_count(model_of(model), std::uint8_t(b1), std::uint8_t(b2));
                auto back = count_bytes(model_of(model), n);
                ASSERT_TRUE(back.has_value()) << model << " " << n;
                EXPECT_EQ(transfer_count(model_of(model), (*back)[0], (*back)[1]), n);
            }
        }
    }
    EXPECT_EQ(count_bytes(model_of('a'), 128), (std::array<std::uint8_t, 2>{1, 16}));
    EXPECT_EQ(count_bytes(model_of('c'), 3), (std::array<std::uint8_t, 2>{0, 131}));
    EXPECT_EQ(count_bytes(model_of('e'), 320), (std::array<std::uint8_t, 2>{64, 129}));
    EXPECT_EQ(count_bytes(model_of('d'), 32879), (std::array<std::uint8_t, 2>{255, 255}));
    // Just outside what two bytes can announce, at both ends of each formula.
    EXPECT_FALSE(count_bytes(model_of('c'), 128).has_value());
    EXPECT_FALSE(count_bytes(model_of('c'), -129).has_value());
    EXPECT_FALSE(count_bytes(model_of('a'), 128 * 255 + 255 - 16 + 1).has_value());
    EXPECT_FALSE(count_bytes(model_of('d'), -17).has_value());
    EXPECT_FALSE(count_bytes(model_of('e'), -128 * 256 - 1).has_value());
    EXPECT_FALSE(count_bytes(model_of('e'), 32768).has_value());
}

TEST(CaptureFile, RoundTripsAndRefusesTooShortFiles) {
    Capture c{1, 16, {0xA0, 0x01, 0x02}};
    auto bytes = capture_bytes(c);
    ASSERT_EQ(bytes.size(), 5u);
    auto back = parse_capture(bytes);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->b1, 1);
    EXPECT_EQ(back->b2, 16);
    EXPECT_EQ(back->data, c.data);

    std::vector<std::uint8_t> one{7};
    auto bad = parse_capture(one);
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.message().find("count bytes"), std::string::npos);
}

// A capture file with a header: what every download writes, read back whole and checked.
TEST(CaptureFile, HeaderRoundTripsAndEveryDamageIsRefused) {
    const Capture c{0, 19, std::vector<std::uint8_t>(768, 0x5A)};  // model a, n = 3 blocks
    const CaptureOrigin origin{"2026-12-09 14:03:27", "/dev/ttyUSB0", 4800};
    const auto good = capture_file_bytes(model_of('a'), origin, c);
    auto back = parse_capture_file(good);
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(back->model->letter, 'a');
    EXPECT_EQ(back->origin.time, origin.time);
    EXPECT_EQ(back->origin.port, origin.port);
    EXPECT_EQ(back->origin.baud, 4800);
    EXPECT_EQ(back->announced, 768u);
    EXPECT_EQ(back->received, 768u);
    EXPECT_TRUE(back->complete());
    EXPECT_EQ(back->capture.data, c.data);
    EXPECT_TRUE(has_capture_header(good));
    EXPECT_FALSE(has_capture_header(capture_bytes(c)));

    // A short capture is still a sound file: it says how much arrived.
    Capture cut = c;
    cut.data.resize(300);
    auto short_file = parse_capture_file(capture_file_bytes(model_of('a'), origin, cut));
    ASSERT_TRUE(short_file) << short_file.message();
    EXPECT_FALSE(short_file->complete());
    EXPECT_EQ(short_file->received, 300u);

    const std::string text(good.begin(), good.end());
    const auto raw_bytes = capture_bytes(c);
    const std::size_t payload = text.find("\n\n") + 2;
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"raw dump", std::string(raw_bytes.begin(), raw_bytes.end()), "--raw --model"},
        {"one data byte changed", text.substr(0, payload + 10) + "\x01" + text.substr(payload + 11), "SHA-256"},
        {"cut short", text.substr(0, text.size() - 100), "the file holds 668 bytes"},
        {"bytes appended", text + "extra", "it was cut or changed"},
        {"count bytes only", text.substr(0, payload + 2), "the file holds 0 bytes"},
        {"header only", text.substr(0, payload), "not even the two count bytes"},
        {"model changed", replaced("model a", "model e"), "count bytes announce 0 bytes for model e"},
        {"model unknown", replaced("model a", "model x"), "no model"},
        {"version unknown", replaced("NLX-CAPTURE 1", "NLX-CAPTURE 7"), "version 7"},
        {"no end of header", text.substr(0, payload - 2), "does not end"},
        {"count missing", replaced("received 768\n", ""), "byte counts"},
        {"announced wrong", replaced("announced 768", "announced 512"), "header says 512 bytes"},
    };
    for (const auto& k : cases) {
        std::vector<std::uint8_t> bytes(k.bytes.begin(), k.bytes.end());
        auto r = parse_capture_file(bytes);
        ASSERT_FALSE(r) << k.what;
        EXPECT_NE(r.message().find(k.says), std::string::npos) << k.what << ": " << r.message();
    }

    // A raw dump is accepted for the model it is given.
    auto raw = raw_capture_file(model_of('a'), capture_bytes(cut));
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->announced, 768u);
    EXPECT_EQ(raw->received, 300u);
}

}  // namespace
}  // namespace nlx
