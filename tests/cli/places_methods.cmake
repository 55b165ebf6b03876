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
expect_cli(EXIT 0 STDOUT "^usage: vorlin methods \\[--format text\\|json\\]\n.*examples:" ARGS methods --help)
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
expect_cli(EXIT 2 STDERR "^vorlin: --method: no method 'Leeds' \\(methods: MWL, ISNA, Egypt, Karachi, UmmAlQura, [^\n]*, MoonsightingCommittee\\)\n$"
           ARGS times --method Leeds)

# The gazetteer: any case, without diacritics, other names (Latin and
# Arabic script), "Name, Region", "Name, Country"; the most populous match,
# said on stderr when there are others.
expect_cli(EXIT 0 STDOUT "^Name +Region +CC +Latitude +Longitude +Elev +Zone +Population\nTromsø +Troms og Finnmark +NO +69.6489 +18.9551 +\\? +Europe/Oslo +64448\n$"
           ARGS places tromso --encoding utf8)
expect_cli(EXIT 0 STDOUT "\nMecca +Mecca Region +SA +21.4266 +39.8256 +333 +Asia/Riyadh +1578722\n" ARGS places مكة)
expect_cli(EXIT 0 STDOUT "\nBirmingham +Alabama +US +33.5207 +-86.8025 +187 +America/Chicago +212461\n$" ARGS places "Birmingham, Alabama")
expect_cli(EXIT 0 STDOUT "\nSan José +San José +CR +9.9333 +-84.0833 +1161 +America/Costa_Rica " ARGS places "San Jose, Costa Rica" --encoding UTF8)
expect_cli(EXIT 0 STDOUT "^Name[^\n]*\nBirmingham +England +GB [^\n]*\nBirmingham +Alabama +US " ARGS cities Birmingham)
expect_cli(EXIT 0 STDOUT "^Name[^\n]*\nOslo +Oslo +NO [^\n]*\n.*\\(25 of 25, largest places of the country\\)\n$" ARGS places norway)
expect_cli(EXIT 0 STDOUT "\\(.*near matches\\)\n$" ARGS places Lodnon)
expect_cli(EXIT 1 STDOUT "^no place matches 'Xqzwvv'\n$" ARGS places Xqzwvv)
expect_cli(EXIT 2 STDERR "^vorlin: places needs a name" ARGS places)
expect_cli(EXIT 0 STDOUT "^usage: vorlin places QUERY.*Place data: GeoNames, geonames.org \\(CC BY 4.0\\), selected and reformatted.*examples:" ARGS places --help)

# --city takes the place's coordinates, elevation and zone (the report's
# record takes the zone's offset in force on its day, or its rules).
expect_cli(EXIT 0 STDOUT "Time Zone: 0.00,\n\t\tSummer Time starts at: Last Sunday, March\n\t\tSummer Time ends at: Last Sunday, October\n"
           ARGS times --format report --date 2024-03-11 --city "London, GB")
expect_cli(EXIT 2 STDERR "^vorlin: the report cannot show the clock of Australia/Lord_Howe over these days"
           ARGS times --format report --date 2024-04-01 --lat -31.55 --lon 159.08 --tz Australia/Lord_Howe)
expect_cli(EXIT 0 STDOUT "^Prayer times: Birmingham, 33.5207 N 86.8025 W, 187 m, America/Chicago\n"
           STDERR "^$" ARGS times --day --date 2024-03-11 --city "Birmingham, Alabama")
expect_cli(EXIT 0 STDOUT "^Prayer times: Birmingham, 52.4814 N 1.8998 W, 149 m, Europe/London\n"
           STDERR "^vorlin: note: took Birmingham, England, GB \\(population 1,144,919\\) for 'birmingham', the most populous of [0-9]+ places \\(vorlin places 'birmingham' lists them; pick one with --city 'Birmingham, Alabama'\\)\n$"
           ARGS times --day --date 2024-03-11 --city birmingham)
expect_cli(EXIT 0 STDOUT "Location:   \tLondon,\n\t\tLatitude 51.30'31\" N, Longitude 000.07'33\" W,\n\t\tHeight: 25 meters ASL, Time Zone: 0.00,\n\t\tNo Summer Time available\n"
           ARGS times --format report --day --date 2024-03-11 --city "LONDON, GB")
expect_cli(EXIT 0 STDOUT "Location:   \tLondon,\n\t\tLatitude 50.30'00\" N, Longitude 000.07'33\" W,\n\t\tHeight: 25 "
           ARGS times --format report --day --date 2024-03-11 --lat 50.5 --city "london, england")
expect_cli(EXIT 0 STDOUT "Location:   \tMosque,\n\t\tLatitude 40.42'51\" N, Longitude 074.00'22\" W,\n\t\tHeight: 10 meters ASL, Time Zone: -4.00,"
           ARGS times --format report --day --date 2024-03-11 --city "new york" --name Mosque)
expect_cli(EXIT 0 STDOUT "^2024-03-11 is [0-9]+ Sha'ban 1445 AH at Kuala Lumpur\n$" ARGS hijri 2024-03-11 --city "kuala lumpur")
expect_cli(EXIT 0 STDOUT "^Qibla from Tromsø \\(69.6489 N, 18.9551 E, 0 m\\) on 2024-01-01\n" ARGS qibla 2024-01-01 --city Tromso --encoding utf8)
expect_cli(EXIT 0 STDOUT "Location:   \tMecca,\n" ARGS times --format report --day --date 2024-03-11 --city mecca)
expect_cli(EXIT 2 STDERR "^vorlin: --city: no place 'Lodnon' \\(did you mean: [^\n]*London, England, GB" ARGS times --city Lodnon)
expect_cli(EXIT 2 STDERR "^vorlin: --city: no place 'Xqzwvv' \\(see vorlin places\\)\n$" ARGS times --city Xqzwvv)
expect_cli(EXIT 2 STDERR "^vorlin: --city: needs a value\n$" ARGS times --city)

# Coordinates: never the default place's name, height or zone; the zone of
# the nearest place within 100 km, said on stderr; else --tz is asked for.
expect_cli(EXIT 0 STDOUT "^Prayer times: 52.4862 N 1.8904 W, 0 m, Europe/London\n"
           STDERR "^vorlin: note: zone Europe/London from the nearest place, Birmingham, England, GB \\(1 km away\\); --tz to choose\n$"
           ARGS times --day --date 2024-03-11 --lat 52.4862 --lon -1.8904)
expect_cli(EXIT 2 STDERR "^vorlin: no place within 100 km of 30.0000 -40.0000 to take a time zone from: give --tz"
           ARGS times --day --lat 30 --lon -40)
expect_cli(EXIT 0 STDOUT "^Prayer times: 30.0000 N 40.0000 W, 0 m, Atlantic/Azores\n" ARGS times --day --lat 30 --lon -40 --tz Atlantic/Azores)
expect_cli(EXIT 0 STDOUT "^Prayer times: 30.0000 N 40.0000 W, 0 m, UTC-02:00\n" ARGS times --day --lat 30 --lon -40 --tz -2)
expect_cli(EXIT 0 STDOUT "^Qibla from" ARGS qibla 2024-01-01 --lat 30 --lon -40)
expect_cli(EXIT 2 STDERR "^vorlin: --tz: no time zone 'Europe/Lodnon'" ARGS times --tz Europe/Lodnon)
expect_cli(EXIT 2 STDERR "^vorlin: --summer-start: goes with --tz HOURS" ARGS times --city Cairo --summer-start 834)
expect_cli(EXIT 0 STDOUT "\n  methods +the named calculation methods \\(--method\\)\n  config +[^\n]*\n  places +the places of the gazetteer \\(--city\\)\n  cities +the same as places\n  serve +the web service: a JSON API and a page over HTTP\n  completion [^\n]*\n  man [^\n]*\nPlace data: GeoNames, geonames.org \\(CC BY 4.0\\), selected and reformatted.\n" ARGS --help)
expect_cli(EXIT 0 STDOUT "^vorlin [0-9.]+\nPlace data: GeoNames, geonames.org \\(CC BY 4.0\\), selected and reformatted.\nTime zones: the tz database of the system \\([0-9a-z]+\\).\n$" ARGS --version)

# Text for people in the terminal's encoding: UTF-8, or the library's Latin-1.
string(ASCII 248 latin1_oslash)
expect_cli(EXIT 0 STDOUT "\nTroms${latin1_oslash} +Troms og Finnmark " ARGS places tromso --encoding latin1)
