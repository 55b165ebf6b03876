#include "cities.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace vorlin::cli {

namespace {

// Summer-time rules: month << 8 | day code, the code 32 + 5 weekday +
// occurrence (weekday 0 Monday .. 6 Sunday, occurrence 0 first .. 4 last).
// Summer time holds for whole days from the start day to the day before the
// end day.
constexpr int Rule(int month, int weekday, int occurrence) {
    return (month << 8) | (32 + 5 * weekday + occurrence);
}
constexpr int Friday = 4, Sunday = 6;  // weekdays counted from Monday = 0
constexpr int First = 0, Second = 1, Last = 4;

// European Union, United Kingdom, Norway, Lebanon, Greenland.
constexpr int EuStart = Rule(3, Sunday, Last);      // 834
constexpr int EuEnd = Rule(10, Sunday, Last);       // 2626
// United States and Canada.
constexpr int UsStart = Rule(3, Sunday, Second);    // 831
constexpr int UsEnd = Rule(11, Sunday, First);      // 2878
// South-east Australia (New South Wales, Victoria, Tasmania).
constexpr int AuStart = Rule(10, Sunday, First);    // 2622
constexpr int AuEnd = Rule(4, Sunday, First);       // 1086
// New Zealand.
constexpr int NzStart = Rule(9, Sunday, Last);      // 2370
constexpr int NzEnd = Rule(4, Sunday, First);       // 1086
// Chile: from the first Sunday of September to the first Sunday of April.
constexpr int ClStart = Rule(9, Sunday, First);     // 2366
constexpr int ClEnd = Rule(4, Sunday, First);       // 1086
// Egypt: from the last Friday of April; it ends after the last Thursday of
// October, i.e. before the following Friday, which is the last Friday of
// October except when that Thursday is the 31st (then a week early).
constexpr int EgStart = Rule(4, Friday, Last);      // 1080
constexpr int EgEnd = Rule(10, Friday, Last);       // 2616

}  // namespace

const City Cities[] = {
    // Arabian Peninsula and the Middle East
    {"Makkah", "Mecca", "Saudi Arabia", 21.4225, 39.8262, 300, 3.0f, 0, 0},
    {"Madinah", "Medina", "Saudi Arabia", 24.4686, 39.6142, 620, 3.0f, 0, 0},
    {"Riyadh", "", "Saudi Arabia", 24.7136, 46.6753, 612, 3.0f, 0, 0},
    {"Jeddah", "Jidda", "Saudi Arabia", 21.5433, 39.1728, 12, 3.0f, 0, 0},
    {"Dubai", "", "United Arab Emirates", 25.2048, 55.2708, 5, 4.0f, 0, 0},
    {"Doha", "", "Qatar", 25.2854, 51.5310, 10, 3.0f, 0, 0},
    {"Kuwait City", "Kuwait", "Kuwait", 29.3759, 47.9774, 15, 3.0f, 0, 0},
    {"Muscat", "", "Oman", 23.5880, 58.3829, 15, 4.0f, 0, 0},
    {"Sanaa", "", "Yemen", 15.3694, 44.1910, 2250, 3.0f, 0, 0},
    {"Baghdad", "", "Iraq", 33.3152, 44.3661, 34, 3.0f, 0, 0},
    {"Tehran", "", "Iran", 35.6892, 51.3890, 1190, 3.5f, 0, 0},
    {"Istanbul", "", "Turkey", 41.0082, 28.9784, 40, 3.0f, 0, 0},
    {"Ankara", "", "Turkey", 39.9334, 32.8597, 938, 3.0f, 0, 0},
    {"Amman", "", "Jordan", 31.9454, 35.9284, 780, 3.0f, 0, 0},
    {"Damascus", "", "Syria", 33.5138, 36.2765, 680, 3.0f, 0, 0},
    {"Beirut", "", "Lebanon", 33.8938, 35.5018, 30, 2.0f, EuStart, EuEnd},
    // South, Central and East Asia
    {"Karachi", "", "Pakistan", 24.8607, 67.0011, 8, 5.0f, 0, 0},
    {"Lahore", "", "Pakistan", 31.5204, 74.3587, 217, 5.0f, 0, 0},
    {"Islamabad", "", "Pakistan", 33.6844, 73.0479, 540, 5.0f, 0, 0},
    {"Kabul", "", "Afghanistan", 34.5553, 69.2075, 1790, 4.5f, 0, 0},
    {"Delhi", "New Delhi", "India", 28.6139, 77.2090, 216, 5.5f, 0, 0},
    {"Mumbai", "Bombay", "India", 19.0760, 72.8777, 14, 5.5f, 0, 0},
    {"Colombo", "", "Sri Lanka", 6.9271, 79.8612, 5, 5.5f, 0, 0},
    {"Kathmandu", "", "Nepal", 27.7172, 85.3240, 1400, 5.75f, 0, 0},
    {"Dhaka", "", "Bangladesh", 23.8103, 90.4125, 4, 6.0f, 0, 0},
    {"Tashkent", "", "Uzbekistan", 41.2995, 69.2401, 455, 5.0f, 0, 0},
    {"Almaty", "", "Kazakhstan", 43.2220, 76.8512, 800, 5.0f, 0, 0},
    {"Kuala Lumpur", "", "Malaysia", 3.1390, 101.6869, 60, 8.0f, 0, 0},
    {"Singapore", "", "Singapore", 1.3521, 103.8198, 15, 8.0f, 0, 0},
    {"Jakarta", "", "Indonesia", -6.2088, 106.8456, 8, 7.0f, 0, 0},
    {"Manila", "", "Philippines", 14.5995, 120.9842, 10, 8.0f, 0, 0},
    {"Beijing", "", "China", 39.9042, 116.4074, 44, 8.0f, 0, 0},
    {"Urumqi", "", "China", 43.8256, 87.6168, 800, 8.0f, 0, 0},
    {"Tokyo", "", "Japan", 35.6762, 139.6503, 40, 9.0f, 0, 0},
    // Africa
    {"Cairo", "", "Egypt", 30.0444, 31.2357, 23, 2.0f, EgStart, EgEnd},
    {"Alexandria", "", "Egypt", 31.2001, 29.9187, 5, 2.0f, EgStart, EgEnd},
    {"Casablanca", "", "Morocco", 33.5731, -7.5898, 27, 1.0f, 0, 0},
    {"Algiers", "", "Algeria", 36.7538, 3.0588, 50, 1.0f, 0, 0},
    {"Tunis", "", "Tunisia", 36.8065, 10.1815, 10, 1.0f, 0, 0},
    {"Tripoli", "", "Libya", 32.8872, 13.1913, 20, 2.0f, 0, 0},
    {"Khartoum", "", "Sudan", 15.5007, 32.5599, 380, 2.0f, 0, 0},
    {"Dakar", "", "Senegal", 14.7167, -17.4677, 20, 0.0f, 0, 0},
    {"Lagos", "", "Nigeria", 6.5244, 3.3792, 40, 1.0f, 0, 0},
    {"Kano", "", "Nigeria", 12.0022, 8.5920, 480, 1.0f, 0, 0},
    {"Addis Ababa", "", "Ethiopia", 9.0300, 38.7400, 2355, 3.0f, 0, 0},
    {"Mogadishu", "", "Somalia", 2.0469, 45.3182, 10, 3.0f, 0, 0},
    {"Nairobi", "", "Kenya", -1.2921, 36.8219, 1795, 3.0f, 0, 0},
    {"Dar es Salaam", "", "Tanzania", -6.7924, 39.2083, 15, 3.0f, 0, 0},
    {"Johannesburg", "", "South Africa", -26.2041, 28.0473, 1753, 2.0f, 0, 0},
    {"Cape Town", "", "South Africa", -33.9249, 18.4241, 15, 2.0f, 0, 0},
    // Europe
    {"London", "", "United Kingdom", 51.5074, -0.1278, 11, 0.0f, EuStart, EuEnd},
    {"Birmingham", "", "United Kingdom", 52.4862, -1.8904, 140, 0.0f, EuStart, EuEnd},
    {"Paris", "", "France", 48.8566, 2.3522, 35, 1.0f, EuStart, EuEnd},
    {"Brussels", "", "Belgium", 50.8503, 4.3517, 60, 1.0f, EuStart, EuEnd},
    {"Amsterdam", "", "Netherlands", 52.3676, 4.9041, 0, 1.0f, EuStart, EuEnd},
    {"Berlin", "", "Germany", 52.5200, 13.4050, 34, 1.0f, EuStart, EuEnd},
    {"Madrid", "", "Spain", 40.4168, -3.7038, 667, 1.0f, EuStart, EuEnd},
    {"Rome", "", "Italy", 41.9028, 12.4964, 21, 1.0f, EuStart, EuEnd},
    {"Sarajevo", "", "Bosnia and Herzegovina", 43.8563, 18.4131, 518, 1.0f, EuStart, EuEnd},
    {"Stockholm", "", "Sweden", 59.3293, 18.0686, 28, 1.0f, EuStart, EuEnd},
    {"Oslo", "", "Norway", 59.9139, 10.7522, 23, 1.0f, EuStart, EuEnd},
    {"Helsinki", "", "Finland", 60.1699, 24.9384, 17, 2.0f, EuStart, EuEnd},
    {"Moscow", "", "Russia", 55.7558, 37.6173, 156, 3.0f, 0, 0},
    {"Kazan", "", "Russia", 55.7961, 49.1064, 116, 3.0f, 0, 0},
    // High latitudes
    {"Reykjavik", "", "Iceland", 64.1466, -21.9426, 20, 0.0f, 0, 0},
    {"Tromso", "", "Norway", 69.6492, 18.9553, 10, 1.0f, EuStart, EuEnd},
    {"Murmansk", "", "Russia", 68.9585, 33.0827, 50, 3.0f, 0, 0},
    {"Longyearbyen", "", "Svalbard", 78.2232, 15.6267, 20, 1.0f, EuStart, EuEnd},
    {"Nuuk", "", "Greenland", 64.1814, -51.6941, 70, -2.0f, EuStart, EuEnd},
    {"Anchorage", "", "United States", 61.2181, -149.9003, 30, -9.0f, UsStart, UsEnd},
    {"Fairbanks", "", "United States", 64.8378, -147.7164, 136, -9.0f, UsStart, UsEnd},
    {"Ushuaia", "", "Argentina", -54.8019, -68.3030, 20, -3.0f, 0, 0},
    // North America
    {"New York", "", "United States", 40.7128, -74.0060, 10, -5.0f, UsStart, UsEnd},
    {"Washington", "", "United States", 38.9072, -77.0369, 20, -5.0f, UsStart, UsEnd},
    {"Dearborn", "", "United States", 42.3223, -83.1763, 180, -5.0f, UsStart, UsEnd},
    {"Chicago", "", "United States", 41.8781, -87.6298, 180, -6.0f, UsStart, UsEnd},
    {"Houston", "", "United States", 29.7604, -95.3698, 15, -6.0f, UsStart, UsEnd},
    {"Los Angeles", "", "United States", 34.0522, -118.2437, 90, -8.0f, UsStart, UsEnd},
    {"Toronto", "", "Canada", 43.6532, -79.3832, 76, -5.0f, UsStart, UsEnd},
    {"Montreal", "", "Canada", 45.5017, -73.5673, 36, -5.0f, UsStart, UsEnd},
    {"Vancouver", "", "Canada", 49.2827, -123.1207, 70, -8.0f, UsStart, UsEnd},
    {"Mexico City", "", "Mexico", 19.4326, -99.1332, 2240, -6.0f, 0, 0},
    // South America
    {"Bogota", "", "Colombia", 4.7110, -74.0721, 2640, -5.0f, 0, 0},
    {"Caracas", "", "Venezuela", 10.4806, -66.9036, 900, -4.0f, 0, 0},
    {"Lima", "", "Peru", -12.0464, -77.0428, 150, -5.0f, 0, 0},
    {"Sao Paulo", "", "Brazil", -23.5505, -46.6333, 760, -3.0f, 0, 0},
    {"Rio de Janeiro", "", "Brazil", -22.9068, -43.1729, 10, -3.0f, 0, 0},
    {"Buenos Aires", "", "Argentina", -34.6037, -58.3816, 25, -3.0f, 0, 0},
    {"Santiago", "", "Chile", -33.4489, -70.6693, 570, -4.0f, ClStart, ClEnd},
    // Oceania
    {"Perth", "", "Australia", -31.9505, 115.8605, 30, 8.0f, 0, 0},
    {"Sydney", "", "Australia", -33.8688, 151.2093, 30, 10.0f, AuStart, AuEnd},
    {"Melbourne", "", "Australia", -37.8136, 144.9631, 30, 10.0f, AuStart, AuEnd},
    {"Hobart", "", "Australia", -42.8821, 147.3272, 50, 10.0f, AuStart, AuEnd},
    {"Auckland", "", "New Zealand", -36.8485, 174.7633, 30, 12.0f, NzStart, NzEnd},
};

const int CityCount = sizeof Cities / sizeof Cities[0];

namespace {

// Lower-case letters and digits only: "New-York", "new york" -> "newyork".
std::string Folded(const std::string &text) {
    std::string folded;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) folded += static_cast<char>(std::tolower(u));
    }
    return folded;
}

int EditDistance(const std::string &a, const std::string &b) {
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

const City *FindCity(const std::string &name) {
    const std::string wanted = Folded(name);
    if (wanted.empty()) return nullptr;
    for (int i = 0; i < CityCount; ++i) {
        if (Folded(Cities[i].name) == wanted || Folded(Cities[i].alias) == wanted) return &Cities[i];
    }
    return nullptr;
}

std::string NearCityNames(const std::string &name, int most) {
    const std::string wanted = Folded(name);
    const int limit = std::max(2, static_cast<int>(wanted.size()) / 3);
    std::vector<std::pair<int, int>> scored;  // (distance, index)
    for (int i = 0; i < CityCount; ++i) {
        int best = 1000;
        for (const char *spelling : {Cities[i].name, Cities[i].alias}) {
            const std::string candidate = Folded(spelling);
            if (candidate.empty()) continue;
            best = std::min(best, EditDistance(wanted, candidate));
            // A common beginning of three letters or more counts as close.
            if (wanted.size() >= 3 && candidate.compare(0, 3, wanted, 0, 3) == 0)
                best = std::min(best, limit);
        }
        if (best <= limit) scored.emplace_back(best, i);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &x, const auto &y) { return x.first < y.first; });
    std::string names;
    for (int k = 0; k < static_cast<int>(scored.size()) && k < most; ++k) {
        if (k > 0) names += ", ";
        names += Cities[scored[k].second].name;
    }
    return names;
}

void ApplyCity(const City &city, VorLocation &location) {
    std::memset(location.name, 0, sizeof location.name);
    std::memcpy(location.name, city.name,
                std::min(std::strlen(city.name), sizeof location.name - 1));
    location.latitude = city.latitude;
    location.longitude = city.longitude;
    location.height = city.height;
    location.timeZone = city.timeZone;
    location.summerStart = city.summerStart;
    location.summerEnd = city.summerEnd;
}

}  // namespace vorlin::cli
