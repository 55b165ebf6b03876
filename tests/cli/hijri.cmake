include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# Makkah, crescent threshold 20 degrees: the crescent of 2024-03-10 fails the
# test, so Ramadan 1445 begins on 2024-03-12.
expect_cli(EXIT 0 STDOUT "^2024-03-11 is 29 Sha'ban 1445 AH at Makkah\n$" ARGS hijri 2024-03-11)
expect_cli(EXIT 0 STDOUT "^2024-03-12 is 1 Ramadan 1445 AH at Makkah\n$" ARGS hijri --date 2024-03-12)
expect_cli(EXIT 0 STDOUT "^1 Ramadan 1445 AH is 2024-03-12 at Makkah\n$" ARGS hijri --to-civil 1445-09-01)
expect_cli(EXIT 0 STDOUT "^2024-03-11 is 1 Ramadan 1445 AH at Makkah\n$" ARGS hijri 2024-03-11 --hijri-adjust 1)
expect_cli(EXIT 0 STDOUT "^2000-04-06 is 1 Muharram 1421 AH at Makkah\n$" ARGS hijri 2000-04-06)
# Midnight sun: the month starts are computed nearer the equator.
expect_cli(EXIT 0 STDOUT "^2024-06-21 is [0-9]+ Thu Al-Hijja 1445 AH at Tromso\n$"
           ARGS hijri 2024-06-21 --name Tromso --lat 69.65 --lon 18.96 --tz 1)
expect_cli(EXIT 1 STDOUT "^600-01-01 has no Hijri date at Makkah \\(it lies before the Hijri era\\)\n$"
           ARGS hijri 600-01-01)
# Ramadan 1445 has 29 days at Makkah: 1 Shawwal is 2024-04-10, 30 Ramadan none.
expect_cli(EXIT 0 STDOUT "^1 Shawwal 1445 AH is 2024-04-10 at Makkah\n$" ARGS hijri --to-civil 1445-10-01)
expect_cli(EXIT 1 STDOUT "^30 Ramadan 1445 AH has no civil date at Makkah \\(Ramadan 1445 has 29 days there\\)\n$"
           ARGS hijri --to-civil 1445-09-30)
# The era's first civil day, 16 July 622, is before the era for the
# conversion, so the crescent's 1 Muharram 1 (that day at Makkah) has none.
expect_cli(EXIT 1 STDOUT "^1 Muharram 1 AH has no civil date at Makkah \\(it lies before the Hijri era\\)\n$"
           ARGS hijri --to-civil 1-01-01)
expect_cli(EXIT 0 STDOUT "^2 Muharram 1 AH is 622-07-17 at Makkah\n$" ARGS hijri --to-civil 1-01-02)
expect_cli(EXIT 1 STDOUT "^622-07-16 has no Hijri date at Makkah \\(it lies before the Hijri era\\)\n$"
           ARGS hijri 622-07-16)
expect_cli(EXIT 0 STDOUT "^622-07-17 is 2 Muharram 1 AH at Makkah\n$" ARGS hijri 622-07-17)
# The calendars end with the year 9999, as the times do; the tabular one
# goes on.
expect_cli(EXIT 0 STDOUT "^9999-12-31 is 1 Rabi'II 9666 AH at Makkah\n$" ARGS hijri 9999-12-31 --calendar umm-al-qura)
expect_cli(EXIT 1 STDOUT "^10000-01-01 has no Hijri date at Makkah \\(the calendar ends with 9999-12-31\\)\n$"
           ARGS hijri 10000-01-01 --calendar umm-al-qura)
expect_cli(EXIT 1 STDOUT "^2 Rabi'II 9666 AH has no civil date at Makkah \\(the calendar ends with 9999-12-31\\)\n$"
           ARGS hijri --to-civil 9666-04-02 --calendar umm-al-qura)
expect_cli(EXIT 1 STDOUT "^1 Muharram 9700 AH has no civil date at Makkah \\(the calendar ends with 9999-12-31\\)\n$"
           ARGS hijri --to-civil 9700-01-01 --calendar conjunction-before-noon-utc)
expect_cli(EXIT 1 STDOUT "^10000-01-01 has no Hijri date at Makkah \\(the calendar ends with 9999-12-31\\)\n$"
           ARGS hijri 10000-01-01)
expect_cli(EXIT 0 STDOUT "^9999-12-31 is 30 Rabi'I 9666 AH at Makkah\n$" ARGS hijri 9999-12-31)
expect_cli(EXIT 0 STDOUT "^1 Muharram 9700 AH is 10032-09-2[0-9] at Makkah\n$"
           ARGS hijri --to-civil 9700-01-01 --calendar tabular)
expect_cli(EXIT 2 STDERR "^vorlin: 2024-02-30 is not a valid civil date\n$" ARGS hijri 2024-02-30)
expect_cli(EXIT 2 STDERR "^vorlin: --to-civil: 1445-13-01 is not a valid Hijri date\n$" ARGS hijri --to-civil 1445-13-01)
expect_cli(EXIT 2 STDERR "^vorlin: hijri takes at most one date\n$" ARGS hijri 2024-03-11 2024-03-12)
expect_cli(EXIT 2 STDERR "^vorlin: hijri --to-civil takes no civil date\n$" ARGS hijri --to-civil 1445-09-01 2024-03-11)
expect_cli(EXIT 0 STDOUT "usage: vorlin hijri.*examples: vorlin hijri 2024-03-11" ARGS hijri --help)
expect_cli(EXIT 2 STDERR "^vorlin: --height: must lie within -1000..20000, not '10000000'\n$"
           ARGS hijri 2024-03-11 --height 10000000)
expect_cli(EXIT 2 STDERR "^vorlin: --height: must lie within -1000..20000, not '10000000'\n$"
           ARGS hijri --to-civil 1445-09-01 --height 10000000)
