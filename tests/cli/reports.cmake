include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# The default job: this month's times for the embedded place and settings.
expect_cli(EXIT 0 STDOUT "^Prayer times: Makkah, 21.4225 N 39.8262 E, 300 m, Asia/Riyadh\nMethod MWL \\(default\\): Fajr 18 deg, Isha'a 17 deg, Imsak Fajr's \\+ 1 deg, Maghrib sunset, Asr factor 1\nHigh latitudes: default \\(seventh of the night from 48 deg\\); eye 0 m above the horizon\n\nDate       Day Hijri      Imsak     Fajr      Sunrise   Dhuhr     Asr       Sunset    Maghrib   Isha      Midnight  LastThird Notes\n[0-9]+-[0-9]+-01 " ARGS)
# The same with --format text; the report is --format report.
expect_cli(EXIT 0 STDOUT "\n2024-02-29 Thu 1445-08-[0-9]+ 0[45]:[0-9:]+  0[45]:[0-9:]+  0[67]:[0-9:]+  12:[0-9:]+  15:[0-9:]+  18:[0-9:]+  18:[0-9:]+  19:[0-9:]+  00:[0-9:]+> 0[12]:[0-9:]+>\n\n> on the next day" ARGS times --date 2024-02-10 --format text)
expect_cli(EXIT 0 STDOUT "^\n\t\tVorlin Times\t  Version 2.8, February, 2002\n=+\n Location:   \tMakkah,\n.*\t\tPrayer schedule for [A-Za-z]+/[0-9]+, .*\nDate IslDate Day Imsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a\n" ARGS times --format report)
# One day: the header's date line with the Hijri date, and one row without prefix.
expect_cli(EXIT 0 STDOUT "\nPrayer schedule for Monday,   11/March/2024,  [0-9]+/[A-Za-z' ]+/1445\nImsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a\n=+\n0[45]:[0-9:]+ 0[45]:[0-9:]+ 0[56]:[0-9:]+ 12:[0-9:]+ 15:[0-9:]+ 18:[0-9:]+ 19:[0-9:]+ \n$" ARGS times --format report --day --date 2024-03-11)
# The degree sign goes out as the single byte 0xB0 (any byte in the regex).
expect_cli(EXIT 0 STDOUT "Latitude 21.25'21\" N, Longitude 039.49'34\" E," ARGS times --format report --day --date 2024-03-11)
# One month: 29 rows in February 2024, minutes precision.
expect_cli(EXIT 0 STDOUT "Prayer schedule for February/2024, Rajab-Sha'ban/1445\n.*\n29   [0-9 ][0-9]      Thu [0-9][0-9]:[0-9][0-9]    [^\n]+\n$" ARGS times --format report --date 2024-02-10 --precision 1)
# Hijri months, and the Jafari columns.
expect_cli(EXIT 0 STDOUT "Prayer schedule for March-April/2024, Ramadan/1445\nDate IslDate Day Imsak    Fajr     Shuruq   Duhr     Maghrib\n" ARGS times --format report --hijri-months --date 2024-03-20 --fiqh 0)
# A year: twelve trailers, the last at the very end.
expect_cli(EXIT 0 STDOUT "December/2024, .*\n\n\n\n=+\n$" ARGS times --format report --year --date 2024-05-05)
# Moon: a December with two new moons; twelve months across the year end.
expect_cli(EXIT 0 STDOUT "Moon Information for December/2024, \n.* Next Geocentric  New Moon Sunday, 1/12/2024 at .* Next Geocentric  New Moon Tuesday, 31/12/2024 at " ARGS moon --date 2024-12-01)
expect_cli(EXIT 0 STDOUT "Moon Information for October/2024, .*Moon Information for September/2025, .*\n\n\n\n=+\n$" ARGS moon --year-from-month --date 2024-10-01)
expect_cli(EXIT 0 STDOUT "\tMoonRise   \tMoonTransit\tMoonSet    \n=+\n\t[0-9][0-9]:.* Possible start of Ramadan, 1445 AH: " ARGS moon --day --date 2024-03-10)
expect_cli(EXIT 0 STDOUT "\n Could not calculate valid sunset/moonset times!\n$" ARGS moon --lat 80 --tz 3 --date 2024-06-01)
# Help and usage errors.
expect_cli(EXIT 0 STDOUT "^usage: vorlin times .*examples:" ARGS times --help)
expect_cli(EXIT 0 STDOUT "^usage: vorlin moon .*--year-from-month.*examples:" ARGS moon --help)
expect_cli(EXIT 2 STDERR "^vorlin: give at most one span flag" ARGS times --day --year)
expect_cli(EXIT 2 STDERR "^vorlin: --date: 2023-02-29 is not a valid civil date\n$" ARGS times --date 2023-02-29)
expect_cli(EXIT 2 STDERR "^vorlin: unexpected argument 'today'\n$" ARGS moon today)
expect_cli(EXIT 2 STDERR "^vorlin: --year-from-month: unknown flag \\(see vorlin COMMAND --help\\)\n$" ARGS times --year-from-month --date 2024-01-01)
expect_cli(EXIT 2 STDERR "does not go with --day" ARGS times --day --hijri-months)
