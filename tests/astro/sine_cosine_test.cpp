#include "astro/sine_cosine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace vorlin {
namespace {

// A reproducible spread of arguments over |x| < limit (xorshift, no library
// generator, so the cases are the same everywhere).
double Spread(std::uint64_t &state, double limit) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (static_cast<double>(state >> 11) / 9007199254740992.0 * 2.0 - 1.0) * limit;
}

struct Range {
    const char *name;
    double limit;
    bool reachesDifferences;  // some arguments where the two differ in the last bit
};

class SineCosineAgainstLibrary : public ::testing::TestWithParam<Range> {};

// Within 2 units in the last place of 1 of the C library's values, which are
// within one unit of the true ones; and on the unit circle.
TEST_P(SineCosineAgainstLibrary, WithinTwoUnitsOfOne) {
    std::uint64_t state = 0x9e3779b97f4a7c15ull;
    double worst = 0.0;
    for (int i = 0; i < 200000; ++i) {
        const double x = Spread(state, GetParam().limit);
        double s = 0.0, c = 0.0;
        SineCosine(x, &s, &c);
        worst = std::fmax(worst, std::fmax(std::fabs(s - std::sin(x)), std::fabs(c - std::cos(x))));
        ASSERT_NEAR(s * s + c * c, 1.0, 6e-16) << x;
    }
    EXPECT_LE(worst, 4.5e-16);
    if (GetParam().reachesDifferences) {
        EXPECT_GT(worst, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, SineCosineAgainstLibrary,
                         ::testing::Values(Range{"quarter_turn", 0.7853981633974483, true},
                                           Range{"one_turn", 6.283185307179586, true},
                                           Range{"thousand", 1000.0, true},
                                           Range{"below_the_limit", 999999.0, true},
                                           Range{"tiny", 1e-6, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SineCosine, OddAndEvenExactly) {
    std::uint64_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        const double x = Spread(state, 5e5);
        double s1 = 0.0, c1 = 0.0, s2 = 0.0, c2 = 0.0;
        SineCosine(x, &s1, &c1);
        SineCosine(-x, &s2, &c2);
        ASSERT_EQ(s1, -s2) << x;
        ASSERT_EQ(c1, c2) << x;
    }
}

TEST(SineCosine, KnownValues) {
    double s = 1.0, c = 0.0;
    SineCosine(0.0, &s, &c);
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(c, 1.0);
    const double pi = 3.141592653589793;
    struct Case {
        double x, sine, cosine;
    };
    for (const Case k : {Case{pi / 6.0, 0.5, 0.8660254037844387}, Case{pi / 4.0, 0.7071067811865476, 0.7071067811865476},
                         Case{pi / 2.0, 1.0, 6.123233995736766e-17}, Case{pi, 1.2246467991473532e-16, -1.0},
                         Case{-3.0 * pi / 2.0, 1.0, -1.8369701987210297e-16},
                         Case{1e5, 0.03574879797201651, -0.9993608074382124}}) {
        SineCosine(k.x, &s, &c);
        EXPECT_NEAR(s, k.sine, 3e-16) << k.x;
        EXPECT_NEAR(c, k.cosine, 3e-16) << k.x;
    }
}

TEST(SineCosine, LargeAndNonFiniteArgumentsAreTheLibrarys) {
    for (const double x : {1e6, -1e6, 3.5e7, 1e300}) {
        double s = 0.0, c = 0.0;
        SineCosine(x, &s, &c);
        EXPECT_EQ(s, std::sin(x)) << x;
        EXPECT_EQ(c, std::cos(x)) << x;
    }
    for (const double x : {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()}) {
        double s = 0.0, c = 0.0;
        SineCosine(x, &s, &c);
        EXPECT_TRUE(std::isnan(s));
        EXPECT_TRUE(std::isnan(c));
    }
}

// Two at a time is the same bits as one at a time, over the quadrants, the
// signs of zero, and pairs with one element beyond the limit.
TEST(SineCosinePair, SameBitsAsOneAtATime) {
    std::uint64_t state = 777;
    std::vector<double> xs = {0.0, -0.0, 0.7853981633974483, -0.7853981633974483, 1.5707963267948966,
                              -3.141592653589793, 4.71238898038469, 1e6, -2e6, 999999.9};
    for (int i = 0; i < 40000; ++i) xs.push_back(Spread(state, i % 2 ? 10.0 : 1e6));
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const double x[2] = {xs[i], xs[i + 1]};
        double s[2], c[2];
        SineCosinePair(x, s, c);
        for (int k = 0; k < 2; ++k) {
            double s1 = 0.0, c1 = 0.0;
            SineCosine(x[k], &s1, &c1);
            ASSERT_EQ(std::memcmp(&s[k], &s1, sizeof s1), 0) << x[k];
            ASSERT_EQ(std::memcmp(&c[k], &c1, sizeof c1), 0) << x[k];
        }
    }
}

}  // namespace
}  // namespace vorlin
