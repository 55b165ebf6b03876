include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# The method table: the published angles as the library takes them, Imsak a
# degree deeper than Fajr, the Jafari school for the Shia methods.
expect_cli(EXIT 0 STDOUT "\nMWL +-19.00 -18.00 -17.00 Shafi'i +0 " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nISNA +-16.00 -15.00 -15.00 Shafi'i " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nEgypt +-20.50 -19.50 -17.50 Shafi'i " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nKarachi +-19.00 -18.00 -18.00 Hanafi " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nUmmAlQura +-19.50 -18.50 -21.25 Shafi'i .*90 min" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nTehran +-18.70 -17.70 -14.00 Jafari " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nJafari +-17.00 -16.00 -14.00 Jafari " ARGS methods)
expect_cli(EXIT 0 STDOUT "^usage: vorlin methods\n.*examples:" ARGS methods --help)
expect_cli(EXIT 2 STDERR "^vorlin: methods takes no arguments\n$" ARGS methods MWL)

# --method, any case; a field's own flag wins before or after it.
expect_cli(EXIT 0 STDOUT "Imsak angle = -16. 00', Fajr angle = -15. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --day --date 2024-03-11 --method isna)
expect_cli(EXIT 0 STDOUT "Imsak angle = -16. 00', Fajr angle = -20. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --day --date 2024-03-11 --fajr -20 --method ISNA)
expect_cli(EXIT 0 STDOUT "Imsak angle = -16. 00', Fajr angle = -20. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --day --date 2024-03-11 --method IsNa --fajr -20)
expect_cli(EXIT 0 STDOUT "Fiqh = Shafi'i, .*\nImsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a\n"
           ARGS times --day --date 2024-03-11 --fiqh 1 --method Jafari)
expect_cli(EXIT 0 STDOUT "Fiqh = Jafari, .*\nImsak    Fajr     Shuruq   Duhr     Maghrib\n"
           ARGS times --day --date 2024-03-11 --method Jafari)
expect_cli(EXIT 0 STDOUT "Fiqh = Hanafi, .*Isha angle = -18. 00'" ARGS times --day --date 2024-03-11 --method karachi)
# The default is the MWL method with the Shafi'i school.
expect_cli(EXIT 0 STDOUT "Fiqh = Shafi'i, Distance = 0 km, Precision = Seconds,\n\t\tImsak angle = -19. 00', Fajr angle = -18. 00', \n\t\tIsha angle = -17. 00'"
           ARGS times --day --date 2024-03-11)
expect_cli(EXIT 2 STDERR "^vorlin: unknown method 'Leeds' \\(methods: MWL, ISNA, Egypt, Karachi, UmmAlQura, Tehran, Jafari[^\n]*\\)\n$"
           ARGS times --method Leeds)

# The place table: every continent and the high latitudes, with their rules.
expect_cli(EXIT 0 STDOUT "\nTromso +Norway +69.6492 +18.9553 +10 +\\+1.00  834-2626 \\(Last Sunday, March to Last Sunday, October\\)\n"
           ARGS cities)
expect_cli(EXIT 0 STDOUT "\nNew York +United States +40.7128 +-74.0060 +10 +-5.00  831-2878 \\(Second Sunday, March to First Sunday, November\\)\n"
           ARGS cities)
expect_cli(EXIT 0 STDOUT "\nSydney +Australia +-33.8688 +151.2093 +30 +\\+10.00  2622-1086 \\(First Sunday, October to First Sunday, April\\)\n"
           ARGS cities)
expect_cli(EXIT 0 STDOUT "\nAuckland .* 2370-1086 \\(Last Sunday, September to First Sunday, April\\)\n" ARGS cities)
expect_cli(EXIT 0 STDOUT "\nCairo .* 1080-2616 \\(Last Friday, April to Last Friday, October\\)\n" ARGS cities)
expect_cli(EXIT 0 STDOUT "\nKathmandu .* \\+5.75  none\n.*\nReykjavik .*\nMurmansk .*\nLongyearbyen .*\nAnchorage " ARGS cities)
expect_cli(EXIT 0 STDOUT "^City [^\n]*\nOslo [^\n]*\nTromso [^\n]*\n$" ARGS cities NORWAY)
expect_cli(EXIT 1 STDOUT "^no city matches 'Atlantis'\n$" ARGS cities Atlantis)
expect_cli(EXIT 0 STDOUT "^usage: vorlin cities .*examples:" ARGS cities --help)

# --city fills the place, any case, blanks and hyphens optional; explicit
# flags override it wherever they stand.
expect_cli(EXIT 0 STDOUT "Location:   \tLondon,\n\t\tLatitude 51.30'27\" N, Longitude 000.07'40\" W,\n\t\tHeight: 11 meters ASL, Time Zone: 0.00,\n\t\tSummer Time starts at: Last Sunday, March\n\t\tSummer Time ends at: Last Sunday, October\n"
           ARGS times --day --date 2024-03-11 --city LONDON)
expect_cli(EXIT 0 STDOUT "Location:   \tLondon,\n\t\tLatitude 50.30'00\" N, Longitude 000.07'40\" W,\n\t\tHeight: 11 "
           ARGS times --day --date 2024-03-11 --lat 50.5 --city london)
expect_cli(EXIT 0 STDOUT "Location:   \tMosque,\n\t\tLatitude 40.42'46\" N, Longitude 074.00'22\" W,\n\t\tHeight: 10 meters ASL, Time Zone: -5.00,"
           ARGS times --day --date 2024-03-11 --city new-york --name Mosque)
expect_cli(EXIT 0 STDOUT "^2024-03-11 is [0-9]+ Sha'ban 1445 AH at Kuala Lumpur\n$" ARGS hijri 2024-03-11 --city kualalumpur)
expect_cli(EXIT 0 STDOUT "^Qibla from Tromso \\(69.6492 N, 18.9553 E, 10 m\\) on 2024-01-01\n" ARGS qibla 2024-01-01 --city Tromso)
expect_cli(EXIT 0 STDOUT "Location:   \tMakkah,\n\t\tLatitude 21.25'21\" N, Longitude 039.49'34\" E,\n\t\tHeight: 300 meters ASL, Time Zone: 3.00,\n\t\tNo Summer Time available\n"
           ARGS times --day --date 2024-03-11 --city mecca)
expect_cli(EXIT 2 STDERR "^vorlin: unknown city 'Lodnon' \\(did you mean: London[,?]" ARGS times --city Lodnon)
expect_cli(EXIT 2 STDERR "^vorlin: unknown city 'Xqzw' \\(see vorlin cities\\)\n$" ARGS times --city Xqzw)
expect_cli(EXIT 2 STDERR "^vorlin: --city needs a value|^vorlin: unknown flag or missing value: --city\n$" ARGS times --city)
expect_cli(EXIT 0 STDOUT "\n  methods +the named calculation methods \\(--method\\)\n  cities +the embedded places \\(--city\\)\n" ARGS --help)
