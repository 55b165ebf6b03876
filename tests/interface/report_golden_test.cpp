// Whole reports and conversions against golden results recorded from the
// library: any single changed byte of a report, or any changed bit of a
// converted date, fails.  Reports are kept as SHA-256 digests with their
// lengths (golden/report_digests.txt); conversions and qibla results are
// kept in full, every double printed with %.17g (golden/<case>.txt), so
// that a failure names the first differing line.
//
// The golden files change only on purpose, after a change of results has
// been checked and accepted.  To record them again from the current code:
//
//   VORLIN_REGENERATE_GOLDEN=1 build/default/tests/vorlin_test_interface
//       --gtest_filter='Reports/Golden.*'   (one command line)
//
// (the regenerating run writes the files and reports each case as
// skipped; run the tests again to see them pass).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "interface/reports.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

// ---- SHA-256 (FIPS 180-4) -------------------------------------------------

std::uint32_t RotateRight(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::string Sha256Hex(const std::string &message) {
    static constexpr std::uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::string data = message;
    const std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
    data.push_back(static_cast<char>(0x80));
    while (data.size() % 64 != 56) data.push_back('\0');
    for (int i = 7; i >= 0; --i) data.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));

    for (std::size_t block = 0; block < data.size(); block += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            const auto *p = reinterpret_cast<const unsigned char *>(data.data() + block + 4 * i);
            w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                   (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        }
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 =
                RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 =
                RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6],
                      hh = h[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25);
            const std::uint32_t ch = (e & f) ^ (~e & g);
            const std::uint32_t t1 = hh + s1 + ch + k[i] + w[i];
            const std::uint32_t s0 = RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22);
            const std::uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
            const std::uint32_t t2 = s0 + maj;
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
        h[5] += f;
        h[6] += g;
        h[7] += hh;
    }
    char hex[65];
    for (int i = 0; i < 8; ++i) std::snprintf(hex + 8 * i, 9, "%08x", static_cast<unsigned>(h[i]));
    return std::string(hex, 64);
}

TEST(GoldenDigest, Sha256OfPublishedVectors) {
    // FIPS 180-4 examples: the digest itself must be right for the golden
    // files to mean anything.
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Two blocks of padding (55 and 56 bytes of message).
    EXPECT_EQ(Sha256Hex(std::string(56, 'a')),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

// ---- The cases ------------------------------------------------------------

using vorlin::testing_support::Civil;

VorLocation Place(const char *name, double lat, double lon, int height, float zone) {
    return vorlin::testing_support::PlaceInDegrees(lat, lon, height, zone, name);
}

VorLocation Makkah() { return Place("Makkah", 21.4225, 39.8262, 300, 3.0f); }
VorLocation London() { return Place("London", 51.5, -0.1, 20, 0.0f); }
VorLocation North64() { return Place("64 N", 64.0, 20.0, 0, 1.0f); }

VorConfig Settings(unsigned flags, int rule = 0, int distanceKm = 0) {
    VorConfig c = vorlin::testing_support::ReportSettings(flags);
    c.highLatitudeRule = rule;
    c.distanceKm = distanceKm;
    return c;
}

VorDate Hijri(int y, int m, double d) {
    VorDate date = Civil(2024, 1, 1);
    date.hijriYear = y;
    date.hijriMonth = static_cast<uint8_t>(m);
    date.hijriDay = d;
    return date;
}

std::string Schedule(VorLocation loc, VorConfig cfg, VorDate date) {
    std::vector<char> buffer(1 << 20);
    const std::size_t length =
        vorlin::WriteScheduleReport(&date, &loc, &cfg, buffer.data(), buffer.size());
    EXPECT_LT(length, buffer.size());
    return std::string(buffer.data(), length);
}

std::string MoonReport(VorLocation loc, VorConfig cfg, VorDate date) {
    std::vector<char> buffer(1 << 20);
    const std::size_t length =
        vorlin::WriteMoonReport(&date, &loc, &cfg, buffer.data(), buffer.size());
    EXPECT_LT(length, buffer.size());
    return std::string(buffer.data(), length);
}

void AppendDate(std::ostringstream &out, int result, const VorDate &d, const VorLocation &loc) {
    char line[400];
    std::snprintf(line, sizeof line,
                  "%d | %d %d %.17g | %d %d %.17g %d | %d %d %d | %.17g %.17g\n", result, d.year,
                  d.month, d.day, d.hijriYear, d.hijriMonth, d.hijriDay, d.hijriValid, d.hour,
                  d.minute, d.second, loc.latitude, loc.longitude);
    out << line;
}

// VorAdToIslamic on `days` consecutive civil days from first, with the day
// fractions of some of them, at loc.
std::string AdToIslamic(VorLocation loc, VorConfig cfg, VorDate first, int days) {
    std::ostringstream out;
    for (int i = 0; i < days; ++i) {
        VorDate date = Civil(first.year, first.month, first.day + i + (i % 7 == 3 ? 0.75 : 0.0));
        const int result = VorAdToIslamic(&date, &loc, &cfg);
        AppendDate(out, result, date, loc);
    }
    return out.str();
}

// VorIslamicToAd on every day 1..30 of `months` Hijri months from year/month.
std::string IslamicToAd(VorLocation loc, VorConfig cfg, int year, int month, int months) {
    std::ostringstream out;
    for (int m = 0; m < months; ++m) {
        const int y = year + (month - 1 + m) / 12;
        const int mm = 1 + (month - 1 + m) % 12;
        for (int d = 1; d <= 30; ++d) {
            VorDate date = Hijri(y, mm, d);
            const int result = VorIslamicToAd(&date, &loc, &cfg);
            AppendDate(out, result, date, loc);
        }
    }
    return out.str();
}

std::string Qibla() {
    const VorLocation places[] = {Makkah(),
                                  London(),
                                  North64(),
                                  Place("Jakarta", -6.2, 106.8, 8, 7.0f),
                                  Place("Sydney", -33.87, 151.21, 58, 10.0f),
                                  Place("Toronto", 43.65, -79.38, 76, -5.0f),
                                  Place("Antipode", -21.4225, -140.1738, 0, -9.0f)};
    std::ostringstream out;
    for (VorLocation loc : places) {
        for (int year : {2000, 2003, 2024}) {
            VorDate date = Civil(year, 3, 11);
            double direction = 0.0, distance = 0.0, declination = 0.0;
            VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
            char line[200];
            std::snprintf(line, sizeof line, "%s %d | %.17g %.17g %.17g\n", loc.name, year,
                          direction, distance, declination);
            out << line;
        }
    }
    return out.str();
}

struct GoldenCase {
    const char *name;
    bool digestOnly;  // reports: digest and length; conversions: the whole text
    std::string (*compute)();
};

const GoldenCase Cases[] = {
    {"schedule_year_gregorian_makkah", true,
     [] { return Schedule(Makkah(), Settings(VOR_SPAN_YEAR), Civil(2024, 1, 1)); }},
    {"schedule_year_hijri_makkah", true,
     [] {
         return Schedule(Makkah(), Settings(VOR_SPAN_YEAR | VOR_HIJRI_MONTHS), Hijri(1445, 1, 1));
     }},
    {"schedule_month_64n_rule3_20km", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_MONTH, 3, 20), Civil(2024, 6, 1)); }},
    {"schedule_month_64n_rule6_20km", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_MONTH, 6, 20), Civil(2024, 6, 1)); }},
    {"schedule_month_64n_rule8_20km", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_MONTH, 8, 20), Civil(2024, 6, 1)); }},
    {"schedule_month_64n_rule8_20km_december", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_MONTH, 8, 20), Civil(2024, 12, 1)); }},
    {"schedule_year_64n_rule3", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_YEAR, 3), Civil(2024, 1, 1)); }},
    {"schedule_year_64n_rule8", true,
     [] { return Schedule(North64(), Settings(VOR_SPAN_YEAR, 8), Civil(2024, 1, 1)); }},
    {"schedule_year_hijri_64n_rule7_20km", true,
     [] {
         return Schedule(North64(), Settings(VOR_SPAN_YEAR | VOR_HIJRI_MONTHS, 7, 20),
                         Hijri(1445, 6, 1));
     }},
    {"schedule_hijri_month_london", true,
     [] {
         return Schedule(London(), Settings(VOR_SPAN_MONTH | VOR_HIJRI_MONTHS),
                         Hijri(1446, 9, 1));
     }},
    {"moon_year_makkah", true,
     [] { return MoonReport(Makkah(), Settings(VOR_SPAN_YEAR), Civil(2024, 1, 1)); }},
    {"moon_year_london", true,
     [] { return MoonReport(London(), Settings(VOR_SPAN_YEAR), Civil(2024, 1, 1)); }},
    {"ad_to_islamic_makkah_400_days", false,
     [] { return AdToIslamic(Makkah(), Settings(0), Civil(2024, 1, 1), 400); }},
    {"ad_to_islamic_london_adjusted", false,
     [] {
         VorConfig cfg = Settings(0);
         cfg.hijriAdjustDays = -1;
         return AdToIslamic(London(), cfg, Civil(2023, 11, 20), 120);
     }},
    {"ad_to_islamic_68n_summer", false,
     [] {
         // Polar day: the search moves toward the equator.
         return AdToIslamic(Place("68 N", 68.0, 20.0, 0, 1.0f), Settings(0), Civil(2024, 5, 10),
                            90);
     }},
    {"islamic_to_ad_makkah_1445", false,
     [] { return IslamicToAd(Makkah(), Settings(0), 1445, 1, 12); }},
    {"islamic_to_ad_london_1446", false,
     [] { return IslamicToAd(London(), Settings(0), 1446, 6, 4); }},
    {"qibla", false, [] { return Qibla(); }},
};

// ---- Golden files -----------------------------------------------------------

std::string GoldenDirectory() {
    std::string file = __FILE__;
    return file.substr(0, file.find_last_of("/\\") + 1) + "golden/";
}

bool Regenerating() {
    const char *flag = std::getenv("VORLIN_REGENERATE_GOLDEN");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

const char *DigestFile = "report_digests.txt";

// name -> "length sha256" from the digest file.
std::map<std::string, std::string> ReadDigests() {
    std::map<std::string, std::string> digests;
    std::ifstream in(GoldenDirectory() + DigestFile);
    std::string name, length, digest;
    while (in >> name >> length >> digest) digests[name] = length + " " + digest;
    return digests;
}

void WriteDigest(const std::string &name, const std::string &value) {
    std::map<std::string, std::string> digests = ReadDigests();
    digests[name] = value;
    std::ofstream out(GoldenDirectory() + DigestFile, std::ios::trunc);
    for (const auto &[key, entry] : digests) out << key << ' ' << entry << '\n';
}

std::string ReadFile(const std::string &path, bool *exists) {
    std::ifstream in(path, std::ios::binary);
    *exists = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesRecordedResult) {
    const GoldenCase &c = GetParam();
    const std::string text = c.compute();
    ASSERT_FALSE(text.empty());
    const std::string value = std::to_string(text.size()) + " " + Sha256Hex(text);
    const std::string textPath = GoldenDirectory() + c.name + ".txt";

    if (Regenerating()) {
        WriteDigest(c.name, value);
        if (!c.digestOnly) std::ofstream(textPath, std::ios::binary | std::ios::trunc) << text;
        GTEST_SKIP() << "golden result of " << c.name << " recorded again";
    }

    const std::map<std::string, std::string> digests = ReadDigests();
    const auto found = digests.find(c.name);
    ASSERT_NE(found, digests.end()) << "no golden digest for " << c.name << " in "
                                    << GoldenDirectory() << DigestFile;
    if (!c.digestOnly) {
        bool exists = false;
        const std::string golden = ReadFile(textPath, &exists);
        ASSERT_TRUE(exists) << textPath;
        // Line by line first, so that a failure shows what changed.
        std::istringstream now(text), then(golden);
        std::string a, b;
        int line = 1;
        for (; std::getline(now, a) && std::getline(then, b); ++line) {
            ASSERT_EQ(a, b) << c.name << " line " << line;
        }
        EXPECT_EQ(text, golden);
    }
    EXPECT_EQ(value, found->second) << c.name << ": the report text changed";
}

INSTANTIATE_TEST_SUITE_P(Reports, Golden, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<GoldenCase> &info) {
                             return std::string(info.param.name);
                         });

}  // namespace
