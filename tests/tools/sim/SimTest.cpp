// The instrument simulator: its frames, its answers to the profile's and the
// link's requests, its events, faults, options and control commands.
#include "link/core/QuorxFrame.h"
#include "tests/link/core/LinkTestSupport.h"
#include "tools/sim/SimFraming.h"
#include "tools/sim/SimOptions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(SimFrames, GoldenReplyAndEventFrames) {
    EXPECT_EQ(ReplyFrame(B({0x41, 0x42}), 0, 0), B({0xF3, 0x41, 0x42, 0xF6, 0x00, 0x0C, 0x88}));
    EXPECT_EQ(ReplyFrame(B({0xFF, 0xF3}), 0, 0),
              B({0xF3, 0xFF, 0xF0, 0x03, 0xF6, 0x00, 0xE9, 0xCA}));
    EXPECT_EQ(EventFrame(0x101, 2, TextBytes("hi")),
              B({0xF5, 0x01, 0x01, 0x02, 0x68, 0x69, 0xF6, 0x7E, 0x67}));
}

TEST(SimFrames, DecoderTakesHostFrames) {
    TRequestDecoder d;
    std::vector<THostInput> in;
    const Bytes input =
        Concat({B({0x00, 0xF7, 0x05}),
                B({0xF1, 0xF0, 0x03, 0x01, 0xF0, 0x06, 0x41, 0xF0, 0x00, 0xFF, 0xF0, 0x0E, 0xF6,
                   0x56, 0xD8}),
                B({0xF1, 0x01, 0xF0, 0x20, 0x00, 0xF6, 0x00, 0x00}), // bad escape: dropped
                B({0xF2, 0x01, 0xF7, 0x09}),                         // select inside a frame
                B({0xFD, 0xF2, 0x00, 0xF6, 0x00, 0x00})});           // header too short
    for (std::uint8_t b : input)
        d.Feed(b, in);
    ASSERT_EQ(in.size(), 4u);
    EXPECT_EQ(in[0].Type, THostInputType::Select);
    EXPECT_EQ(in[0].Address, 5);
    ASSERT_EQ(in[1].Type, THostInputType::Frame);
    EXPECT_EQ(in[1].Frame.ReqNo, 0x01F3);
    EXPECT_EQ(in[1].Frame.Param, 0xF6);
    EXPECT_EQ(in[1].Frame.Data, B({0x41, 0xF0, 0xFF, 0xFE}));
    EXPECT_TRUE(in[1].Frame.CheckMatches(0));
    EXPECT_EQ(in[2].Type, THostInputType::Select);
    EXPECT_EQ(in[2].Address, 9);
    EXPECT_EQ(in[3].Type, THostInputType::Release);
}

TEST(SimAnswers, ProfileAndLinkRequests) {
    TSimConfig config;
    config.Model.Chambers[2].Present = true;
    TSimRig rig(config);
    struct {
        const char* Name;
        std::uint16_t ReqNo;
        std::uint8_t Param;
        int RxLen;
        TLinkResult Result;
        int Count;
        std::string Text; // for text replies
    } cases[] = {
        {"device id", 1, 0, -21, 0, 8, "ZEPHORA"},
        {"software version", 1, 1, -21, 0, 5, "3.21"},
        {"profile capability", 2, 0, 2, 0, 2, ""},
        {"GetTa", 0xF1, 0, 4, 0, 4, ""},
        {"chamber version", 0x100, 2, -21, 0, 5, "1.07"},
        {"absent chamber version", 0x100, 3, -21, 0, 1, ""},
        {"all versions", 0x100, 255, -210, 0, 2 * 5 + 8, "1.07"},
        {"measurement event setting", 0x200, 0, 1, 0, 1, ""},
        {"one chamber", 0x201, 2, 20, 0, 20, ""},
        {"all chambers", 0x201, 255, 128, 0, 128, ""},
        {"stability", 0x202, 0, 8, 0, 8, ""},
        {"all stability", 0x202, 255, 82, 0, 82, ""},
        {"identity and serial", 0x203, 2, -21, 0, 11, "QC 1000102"},
        {"all identities", 0x203, 255, -210, 0, 2 * 11 + 8, "QC 1000100"},
        {"units", 0x204, 0, 3, 0, 3, ""},
        {"user", 0x205, 0, -21, 0, 8, "LABUSER"},
        {"slot 10", 0x201, 10, 20, kStatusBadParam, 0, ""},
        {"unknown request", 0x206, 0, 0, kStatusUnknownRequest, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::uint8_t buf[210];
        int count = -1;
        EXPECT_EQ(rig.Dev.Request(c.ReqNo, c.Param, nullptr, 0, buf, c.RxLen, &count), c.Result);
        EXPECT_EQ(count, c.Count);
        if (!c.Text.empty()) {
            EXPECT_EQ(ReplyText(buf, count, 210), c.Text);
        }
    }
}

TEST(SimAnswers, AllTextsAreTenNulTerminatedTexts) {
    TSimConfig config;
    config.Model.Chambers[9].Present = true;
    config.Model.Chambers[9].Identity = "LONGIDENTITY";
    config.Model.Chambers[9].Serial = 123456789;
    TSimRig rig(config);
    for (std::uint16_t req : {0x100, 0x203}) {
        SCOPED_TRACE(req);
        char buf[210];
        int count = 0;
        ASSERT_EQ(rig.Dev.Request(req, 255, nullptr, 0, buf, -210, &count), 0);
        int texts = 0, length = 0;
        for (int i = 0; i < count; ++i) {
            if (buf[i] == 0) {
                ++texts;
                EXPECT_LE(length, 20);
                length = 0;
            } else {
                ++length;
            }
        }
        EXPECT_EQ(texts, 10);
        EXPECT_EQ(buf[count - 1], 0);
    }
}

TEST(SimAnswers, MeasurementEventSwitch) {
    TSimRig rig;
    std::uint8_t value = 0xEE;
    const std::uint8_t on = 0xFF;
    EXPECT_EQ(rig.Dev.Command(0x200, 0, &on, 1, nullptr, 0, nullptr), 0);
    EXPECT_EQ(rig.Dev.Request(0x200, 0, nullptr, 0, &value, 1, nullptr), 0);
    EXPECT_EQ(value, 0xFF);
    EXPECT_EQ(rig.Dev.Command(0x200, 0, nullptr, 0, nullptr, 0, nullptr), kStatusBadParam);
}

TEST(SimModel, ChambersAnalyseThenTurnStable) {
    TInstrumentModel model = TInstrumentModel::Default();
    model.Chambers[4].Present = true;
    model.StableAfterS = 100;
    TInstrument instrument(model);
    const TMEASall early = instrument.Measure(10);
    const TMEASall later = instrument.Measure(40);
    const TMEASall done = instrument.Measure(150);
    EXPECT_EQ(early.Stamp.Seconds, 10u);
    EXPECT_EQ(early.Stamp.Year, 0);
    for (int n : {0, 4}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(early.Chamber[n].Status & (csPresent | csAnalysing | csSensorOn),
                  csPresent | csAnalysing | csSensorOn);
        EXPECT_LT((early.Chamber[n].Status & csProgressMask),
                  (later.Chamber[n].Status & csProgressMask));
        // + compares a copy: a packed field is no place for a reference.
        EXPECT_NE(+early.Chamber[n].Humidity, +later.Chamber[n].Humidity) << "values move";
        EXPECT_EQ(done.Chamber[n].Status & (csStable | csAnalysing), csStable);
        EXPECT_EQ(+done.Chamber[n].Humidity, model.Chambers[static_cast<std::size_t>(n)].Humidity);
        EXPECT_EQ(+done.Chamber[n].Elapsed, 150u);
        EXPECT_EQ(+instrument.Stability(n, 10).Seconds, 0u);
        EXPECT_EQ(+instrument.Stability(n, 150).Seconds, 100u);
    }
    for (int n : {1, 2, 3, 5}) {
        TChamberMeas zero{};
        EXPECT_EQ(std::memcmp(&done.Chamber[n], &zero, sizeof zero), 0);
    }
    instrument.Restart(150);
    EXPECT_NE(instrument.Measure(151).Chamber[0].Status & csAnalysing, 0) << "runs anew";
}

TEST(SimEvents, MeasurementEventsAtTheirRate) {
    TSimConfig config;
    config.InitialMeasEvent = 0xFF;
    config.EventRateMs = 250;
    TSimRig rig(config);
    for (int i = 0; i < 8; ++i) {
        rig.Clock.Advance(125);
        rig.Dev.TimerTick();
    }
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 4);
    TMEASall first{}, second{};
    int len = 0;
    std::uint16_t code = 0;
    EXPECT_EQ(rig.Dev.TakeEvent(&code, nullptr, &first, 128, &len), 0);
    EXPECT_EQ(rig.Dev.TakeEvent(&code, nullptr, &second, 128, &len), 0);
    EXPECT_LE(first.Stamp.Seconds, second.Stamp.Seconds);
    EXPECT_EQ(code, 0x100);
    EXPECT_EQ(len, 128);
}

TEST(SimEvents, SequencedEventsCountThemselves) {
    TSimConfig config;
    config.InitialMeasEvent = 0xFF;
    config.EventRateMs = 250;
    config.EventSequence = true;
    TSimRig rig(config);
    for (int i = 0; i < 6; ++i) {
        rig.Clock.Advance(125);
        rig.Dev.TimerTick();
    }
    for (std::uint32_t expected = 1; expected <= 3; ++expected) {
        TMEASall event{};
        int len = 0;
        ASSERT_EQ(rig.Dev.TakeEvent(nullptr, nullptr, &event, 128, &len), 0);
        const std::uint32_t seq = event.Stamp.Seconds;
        EXPECT_EQ(seq, expected);
    }
    TMEASall record{};
    ASSERT_EQ(rig.Dev.Request(0x201, 255, nullptr, 0, &record, 128, nullptr), 0);
    const std::uint32_t sent = record.Stamp.Seconds;
    EXPECT_EQ(sent, 3u) << "a request's record: the events sent so far";
    TMeas one{};
    ASSERT_EQ(rig.Dev.Request(0x201, 0, nullptr, 0, &one, 20, nullptr), 0);
    EXPECT_EQ(one.Chamber.Status & csPresent, csPresent) << "one chamber's record as it was";
}

TEST(SimEvents, RestartAndProtocolEvents) {
    TSimConfig config;
    config.InitialMeasEvent = 0xFF;
    TSimRig rig(config);
    std::string error;
    std::vector<TInstrumentSim*> sims{&rig.Sim};
    ASSERT_TRUE(ApplyControlLine("protocol 0x102/3 Line 1\\r\\nLine 2", sims, 0, error)) << error;
    ASSERT_TRUE(ApplyControlLine("restart", sims, 0, error)) << error;
    rig.Dev.TimerTick();
    std::uint16_t code = 0;
    std::uint8_t param = 0;
    char text[64];
    int len = 0;
    ASSERT_EQ(rig.Dev.TakeEvent(&code, &param, text, 64, &len), 0);
    EXPECT_EQ(code, 0x102);
    EXPECT_EQ(param, 3);
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(len)), "Line 1\r\nLine 2");
    ASSERT_EQ(rig.Dev.TakeEvent(&code, &param, text, 64, &len), 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(param, 0);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(rig.Sim.Instrument().MeasEvent(), 0)
        << "a restarted instrument sends no measurements";
    rig.Clock.Advance(3000);
    rig.Dev.TimerTick();
    EXPECT_EQ(rig.Dev.EventCounts(nullptr, nullptr), 0);
}

TEST(SimFaults, PacedLineTakesItsTime) {
    TSimConfig config;
    config.PaceBaud = 1200; // 8.3 ms a byte
    TSimRig rig(config);
    TMEASall meas;
    TLinkResult result = -1;
    const std::uint32_t ms =
        rig.Timed([&] { result = rig.Dev.Request(0x201, 255, nullptr, 0, &meas, 128, nullptr); });
    EXPECT_EQ(result, 0);
    EXPECT_GE(ms, 133u * 10000 / 1200);
    EXPECT_LE(ms, 1400u);
}

TEST(SimFaults, NoiseThenQuiet) {
    TFaults noise;
    noise.NoiseMs = 100;
    TSimRig rig(WithFault(noise));
    int noisy = 0;
    for (int i = 0; i < 10; ++i) {
        rig.Clock.Advance(100);
        std::uint8_t buf[64];
        noisy += rig.Line.Read(buf, 64) > 0;
    }
    EXPECT_EQ(noisy, 10);
    rig.Sim.SetFaults({});
    rig.Dev.TimerTick();
    char text[21];
    EXPECT_EQ(rig.Dev.Request(1, 0, nullptr, 0, text, -21, nullptr), 0);
}

TEST(SimFaults, BadCheckFromTheHostIsNotAnswered) {
    TSimRig rig;
    rig.Line.Write(B({0xF1, 0x01, 0x00, 0x00, 0xF6, 0x03, 0x1B}).data(), 7);
    EXPECT_EQ(rig.Sim.BadChecks(), 1);
    EXPECT_EQ(rig.Sim.FramesAnswered(), 0);
    std::uint8_t b;
    EXPECT_EQ(rig.Line.Read(&b, 1), 0);
}

TEST(SimOptions, ParsesTheCommandLine) {
    TSimProgram p;
    std::string error;
    ASSERT_TRUE(ParseSimArgs({"--pty",
                              "/tmp/p",
                              "--ready",
                              "/tmp/r",
                              "--device-id",
                              "KIVANTER",
                              "--chambers",
                              "0,3,5",
                              "--event-rate-ms",
                              "500",
                              "--fault",
                              "trickle:20",
                              "--pace-baud",
                              "19200",
                              "--bus",
                              "3,125",
                              "--serial-base",
                              "2000000",
                              "--units",
                              "1,1,2",
                              "--ta",
                              "0A0B0C0D",
                              "--chamber-values",
                              "3,5000,2100,7",
                              "--events",
                              "--event-sequence",
                              "--restart"},
                             p, error))
        << error;
    EXPECT_EQ(p.Pty, "/tmp/p");
    EXPECT_EQ(p.Ready, "/tmp/r");
    EXPECT_EQ(p.Config.Model.DeviceId, "KIVANTER");
    EXPECT_TRUE(p.Config.Model.Chambers[5].Present);
    EXPECT_FALSE(p.Config.Model.Chambers[1].Present);
    EXPECT_EQ(p.Config.EventRateMs, 500);
    EXPECT_EQ(p.Config.Faults.TrickleMs, 20);
    EXPECT_EQ(p.Config.PaceBaud, 19200);
    EXPECT_EQ(p.Config.Model.Units.DateFormat, 2);
    EXPECT_EQ(p.Config.Model.Ta[3], 0x0D);
    EXPECT_EQ(p.Config.Model.Chambers[3].Third, 7);
    EXPECT_EQ(p.Config.InitialMeasEvent, 0xFF);
    EXPECT_TRUE(p.Config.EventSequence);
    EXPECT_TRUE(p.Restart);
    const std::vector<TSimConfig> all = p.Instruments();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].BusAddress, 125);
    EXPECT_EQ(all[0].Model.Chambers[3].Serial, 2000003u);
    EXPECT_EQ(all[1].Model.Chambers[3].Serial, 2000103u);
}

TEST(SimOptions, RefusesBadOptions) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate"},       {"--pty"},
        {"--chambers", "0,10"}, {"--bus", "126"},
        {"--bus", "113"},       {"--fault", "trickle:0"},
        {"--fault", "sparkle"}, {"--units", "2,0,0"},
        {"--ta", "0102"},       {"--event-rate-ms", "0"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        TSimProgram p;
        std::string error;
        EXPECT_FALSE(ParseSimArgs(args, p, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimOptions, ControlLines) {
    TSimRig rig;
    std::vector<TInstrumentSim*> sims{&rig.Sim};
    struct {
        const char* Line;
        bool Ok;
    } lines[] = {
        {"# a comment", true},
        {"", true},
        {"fault silence", true},
        {"fault status 18 0x205", true},
        {"fault wrong-length 2", true},
        {"fault none", true},
        {"events on", true},
        {"events maybe", false},
        {"rate 200", true},
        {"rate 0", false},
        {"chambers 1,2", true},
        {"chambers 11", false},
        {"user Dr. Who", true},
        {"device-id ZEPHORAN", true},
        {"protocol 0x104 text", true},
        {"protocol x text", false},
        {"dance", false},
    };
    for (const auto& l : lines) {
        SCOPED_TRACE(l.Line);
        std::string error;
        EXPECT_EQ(ApplyControlLine(l.Line, sims, 0, error), l.Ok);
    }
    const TInstrumentModel& m = rig.Sim.Instrument().Model();
    EXPECT_EQ(m.User, "Dr. Who");
    EXPECT_EQ(m.DeviceId, "ZEPHORAN");
    EXPECT_FALSE(m.Chambers[0].Present);
    EXPECT_TRUE(m.Chambers[2].Present);
    EXPECT_EQ(rig.Sim.Faults().LengthDelta, 0) << "fault none clears";
    EXPECT_EQ(rig.Sim.Instrument().MeasEvent(), 0xFF);

    std::string error;
    ASSERT_TRUE(ApplyControlLine("fault status 18 0x205", sims, 0, error));
    char user[21];
    EXPECT_EQ(rig.Dev.Request(0x205, 0, nullptr, 0, user, -21, nullptr), 18);
    EXPECT_EQ(rig.Dev.Request(1, 0, nullptr, 0, user, -21, nullptr), 0);
}

TEST(SimOptions, DecodeEscapes) {
    EXPECT_EQ(DecodeEscapes("a\\r\\n\\t\\\\\\x41\\x4"), TextBytes("a\r\n\t\\A\\x4"));
    EXPECT_EQ(DecodeEscapes("\\x00"), B({0}));
}

TEST(SimOptions, UsageNamesEveryOption) {
    const std::string usage = SimUsage();
    for (const char* opt :
         {"--pty", "--ready", "--control", "--bus", "--fault", "--pace-baud", "--event-rate-ms",
          "--event-sequence", "--device-id", "--chambers", "protocol", "restart"})
        EXPECT_NE(usage.find(opt), std::string::npos) << opt;
}

} // namespace
