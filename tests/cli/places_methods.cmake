include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# The method table, from the library's: each definition as published.
expect_cli(EXIT 0 STDOUT "^Method +Fajr Isha'a +Maghrib +Asr  Authority; other; also called\nMWL +18 17 deg +sunset +1  Muslim World League; also MuslimWorldLeague\n" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nISNA +15 15 deg +sunset +1  Islamic Society of North America" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nEgypt +19.5 17.5 deg +sunset +1 " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nKarachi +18 18 deg +sunset +2 " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nUmmAlQura +18.5 90 min after Maghrib \\(120 in Ramadan\\) sunset +1 " ARGS methods)
expect_cli(EXIT 0 STDOUT "\nTehran +17.7 14 deg +4.5 deg +1  [^\n]*jafari midnight" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nJafari +16 14 deg +4 deg +1  [^\n]*jafari midnight" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nTurkey +18 17 deg +sunset +1  [^\n]*minutes sunrise -7, dhuhr \\+5, asr \\+4, maghrib \\+7" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nSingapore +20 18 deg +sunset +1  [^\n]*rounded up to the minute" ARGS methods)
expect_cli(EXIT 0 STDOUT "\nMoonsightingCommittee +18 18 deg +sunset +1  [^\n]*seasonal twilight \\(general shafaq\\); minutes dhuhr \\+5, maghrib \\+3; also MSC, Moonsighting\n$" ARGS methods)
expect_cli(EXIT 0 STDOUT "^usage: vorlin methods\n.*examples:" ARGS methods --help)
expect_cli(EXIT 2 STDERR "^vorlin: methods takes no arguments\n$" ARGS methods MWL)

# --method, any case and by its other names; a field's own flag wins before
# or after it; Imsak follows Fajr unless given.
expect_cli(EXIT 0 STDOUT "Imsak angle = -16. 00', Fajr angle = -15. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --format report --day --date 2024-03-11 --method isna)
expect_cli(EXIT 0 STDOUT "Imsak angle = -21. 00', Fajr angle = -20. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --format report --day --date 2024-03-11 --fajr -20 --method ISNA)
expect_cli(EXIT 0 STDOUT "Imsak angle = -18. 00', Fajr angle = -20. 00', \n\t\tIsha angle = -15. 00'"
           ARGS times --format report --day --date 2024-03-11 --method NorthAmerica --fajr 20 --imsak 18)
expect_cli(EXIT 0 STDOUT "Method ISNA: Fajr 20 deg, Isha'a 15 deg, Imsak Fajr's \\+ 1 deg"
           ARGS times --day --date 2024-03-11 --method IsNa --fajr -20)
expect_cli(EXIT 0 STDOUT "Fiqh = Shafi'i, .*\nImsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a\n"
           ARGS times --format report --day --date 2024-03-11 --fiqh 1 --fajr 16 --isha 14)
expect_cli(EXIT 0 STDOUT "Fiqh = Jafari, .*\nImsak    Fajr     Shuruq   Duhr     Maghrib\n"
           ARGS times --format report --day --date 2024-03-11 --method Jafari --maghrib-angle 0)
expect_cli(EXIT 0 STDOUT "Fiqh = Hanafi, .*Isha angle = -18. 00'" ARGS times --format report --day --date 2024-03-11 --method karachi)
# The default is the MWL method with the Shafi'i school.
expect_cli(EXIT 0 STDOUT "Fiqh = Shafi'i, Distance = 0 km, Precision = Seconds,\n\t\tImsak angle = -19. 00', Fajr angle = -18. 00', \n\t\tIsha angle = -17. 00'"
           ARGS times --format report --day --date 2024-03-11)
expect_cli(EXIT 2 STDERR "^vorlin: unknown method 'Leeds' \\(methods: MWL, ISNA, Egypt, Karachi, UmmAlQura, [^\n]*, MoonsightingCommittee\\)\n$"
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
           ARGS times --format report --day --date 2024-03-11 --city LONDON)
expect_cli(EXIT 0 STDOUT "Location:   \tLondon,\n\t\tLatitude 50.30'00\" N, Longitude 000.07'40\" W,\n\t\tHeight: 11 "
           ARGS times --format report --day --date 2024-03-11 --lat 50.5 --city london)
expect_cli(EXIT 0 STDOUT "Location:   \tMosque,\n\t\tLatitude 40.42'46\" N, Longitude 074.00'22\" W,\n\t\tHeight: 10 meters ASL, Time Zone: -5.00,"
           ARGS times --format report --day --date 2024-03-11 --city new-york --name Mosque)
expect_cli(EXIT 0 STDOUT "^2024-03-11 is [0-9]+ Sha'ban 1445 AH at Kuala Lumpur\n$" ARGS hijri 2024-03-11 --city kualalumpur)
expect_cli(EXIT 0 STDOUT "^Qibla from Tromso \\(69.6492 N, 18.9553 E, 10 m\\) on 2024-01-01\n" ARGS qibla 2024-01-01 --city Tromso)
expect_cli(EXIT 0 STDOUT "Location:   \tMakkah,\n\t\tLatitude 21.25'21\" N, Longitude 039.49'34\" E,\n\t\tHeight: 300 meters ASL, Time Zone: 3.00,\n\t\tNo Summer Time available\n"
           ARGS times --format report --day --date 2024-03-11 --city mecca)
expect_cli(EXIT 2 STDERR "^vorlin: unknown city 'Lodnon' \\(did you mean: London[,?]" ARGS times --city Lodnon)
expect_cli(EXIT 2 STDERR "^vorlin: unknown city 'Xqzw' \\(see vorlin cities\\)\n$" ARGS times --city Xqzw)
expect_cli(EXIT 2 STDERR "^vorlin: --city needs a value|^vorlin: unknown flag or missing value: --city\n$" ARGS times --city)
expect_cli(EXIT 0 STDOUT "\n  methods +the named calculation methods \\(--method\\)\n  cities +the embedded places \\(--city\\)\n" ARGS --help)
