include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# (execute_process turns CRLF into LF: check_formats.py checks the CRLF line ends.)
# JSON: the day's date, Hijri date, offset in force and ISO 8601 local times;
# markers as null with their reason.
expect_cli(EXIT 0 STDOUT "\"date\": \"2024-06-21\", \"weekday\": \"Fri\", \"hijri\": \\{\"date\": \"1445-12-[0-9]+\", \"year\": 1445, \"month\": 12, .*\"utcOffset\": \"\\+02:00\", \"summerTime\": true,.*\"imsak\": null, .*\"dhuhr\": \"2024-06-21T12:47:[0-9][0-9]\\+02:00\".*\"missing\": \\{\"imsak\": \"always above\", \"fajr\": \"always above\", \"sunrise\": \"always above\", \"sunset\": \"always above\", \"maghrib\": \"always above\", \"isha\": \"always above\", \"midnight\": \"not valid\", \"lastThird\": \"not valid\"\\}, \"filled\": \\{\\}"
           ARGS times --format json --day --city Tromso --date 2024-06-21)
expect_cli(EXIT 0 STDOUT "\"sunrise\": null, .*\"missing\": \\{[^}]*\"sunrise\": \"always below\""
           ARGS times --format json --day --city Tromso --date 2024-12-21)
# Asr by the school: the Hanafi Asr is later than the Shafi'i one.
expect_cli(EXIT 0 STDOUT "\"asr\": \"2024-01-15T15:[0-9:]+\\+05:00\"" ARGS times --format json --day --city Karachi --date 2024-01-15)
expect_cli(EXIT 0 STDOUT "\"asr\": \"2024-01-15T16:[0-9:]+\\+05:00\"" ARGS times --format json --day --city Karachi --date 2024-01-15 --method Karachi)
# A month of JSON has its days; a year 366.
expect_cli(EXIT 0 STDOUT "^{\n  \"place\": {\"name\": \"Makkah\", .*\"date\": \"2024-02-01\".*\"date\": \"2024-02-29\"[^\n]*\n[^\n]*\n[^\n]*\n  .\n}\n$"
           ARGS times --format json --date 2024-02-10)
# CSV: a header and one row per day, CRLF.
expect_cli(EXIT 0 STDOUT "^date,weekday,hijri_date,utc_offset,imsak,fajr,sunrise,dhuhr,asr,sunset,maghrib,isha,midnight,last_third,notes\r?\n2024-03-11,Mon,1445-0[89]-[0-9]+,\\+03:00,2024-03-11T05:14:[0-9:]+\\+03:00,"
           ARGS times --format csv --day --date 2024-03-11)
expect_cli(EXIT 0 STDOUT "\r?\n2024-06-21,Fri,1445-12-[0-9]+,\\+02:00,,,,2024-06-21T12:47:[0-9:]+\\+02:00,2024-06-21T17:5[0-9:]+\\+02:00,,,,,,\"imsak, fajr, sunrise, sunset, maghrib, isha always above; midnight, lastThird not valid\"\r?\n$"
           ARGS times --format csv --day --city Tromso --date 2024-06-21)
# iCalendar: the calendar's properties and an event in UTC.
expect_cli(EXIT 0 STDOUT "^BEGIN:VCALENDAR\r?\nVERSION:2.0\r?\nPRODID:-//Vorlin//vorlin [0-9.]+//EN\r?\n.*BEGIN:VEVENT\r?\nUID:2024-03-11-fajr\\+21.4225\\+39.8262@vorlin\r?\nDTSTAMP:[0-9]+T[0-9]+Z\r?\nDTSTART:20240311T02[0-9]+Z\r?\nSUMMARY:Fajr \\(Makkah\\)\r?\n.*END:VEVENT\r?\nEND:VCALENDAR\r?\n$"
           ARGS times --format ics --day --date 2024-03-11)
# The calendar's flags as written (check_ics.py reads them back with a parser).
expect_cli(EXIT 0 STDOUT "\r?\nDTSTART:20240311T021852Z\r?\nDTEND:20240311T023852Z\r?\nSUMMARY:Fajr \\(Makkah\\)\r?\n.*TRANSP:TRANSPARENT\r?\nBEGIN:VALARM\r?\nACTION:DISPLAY\r?\nDESCRIPTION:Fajr in 10 minutes \\(Makkah\\)\r?\nTRIGGER:-PT10M\r?\nEND:VALARM\r?\nEND:VEVENT\r?\nEND:VCALENDAR\r?\n$"
           ARGS times --format ics --day --date 2024-03-11 --events Fajr --remind 10 --duration 20)
expect_cli(EXIT 2 STDERR "^vorlin: --events: asrHanafi is shown with --asr both\n$" ARGS times --format ics --events fajr,asrHanafi)
expect_cli(EXIT 2 STDERR "^vorlin: --remind: expects a whole number, not '1.5'\n$" ARGS times --format ics --remind 1.5)
expect_cli(EXIT 0 STDOUT "^usage: vorlin times .*--format text\\|report\\|json\\|csv\\|ics.*crescent.*examples:" ARGS times --help)
# Usage errors.
expect_cli(EXIT 2 STDERR "^vorlin: --format: expects one of text,report,json,csv,ics,html, not 'xml'\n$" ARGS times --format xml)
expect_cli(EXIT 2 STDERR "^vorlin: --format: needs a value\n$" ARGS times --format)
expect_cli(EXIT 2 STDERR "^vorlin: --date: 2023-02-29 is not a valid civil date\n$" ARGS times --format json --date 2023-02-29)
expect_cli(EXIT 2 STDERR "^vorlin: date: malformed date 'today' \\(expected Y-M-D\\)\n$" ARGS times --format csv today)
expect_cli(EXIT 2 STDERR "^vorlin: unexpected argument '2024-03-12'\n$" ARGS times 2024-03-11 2024-03-12)
expect_cli(EXIT 2 STDERR "^vorlin: the date lies before the Hijri era" ARGS times --format json --hijri-months --date 0600-01-01)
expect_cli(EXIT 2 STDERR "does not go with --day" ARGS times --format ics --day --hijri-months)
expect_cli(EXIT 2 STDERR "^vorlin: --format: expects one of text,json, not 'csv'\n$" ARGS moon --format csv)

# The settings of a method and the flags people type reach every format.
# Tehran's Maghrib at 4.5 degrees is some 20 minutes after sunset in January.
expect_cli(EXIT 0 STDOUT "\"sunset\": \"2024-01-15T17:13:[0-9:]+\\+03:30\", \"maghrib\": \"2024-01-15T17:33:[0-9:]+\\+03:30\""
           ARGS times --format json --day --city Tehran --method Tehran --date 2024-01-15)
# Positive and negative angles mean the same depth below the horizon.
expect_cli(EXIT 0 STDOUT "\"fajr\": \"2024-03-11T05:0[0-9:]+\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --fajr 21)
expect_cli(EXIT 0 STDOUT "\"fajr\": \"2024-03-11T05:0[0-9:]+\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --fajr -21)
# Minutes: Isha'a after Maghrib, Imsak before Fajr, an adjustment, rounding.
expect_cli(EXIT 0 STDOUT "\"fajr\": \"2024-03-11T05:18:52\\+03:00\", .*\"isha\": \"2024-03-11T19:14:03\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --isha-minutes 45 --adjust maghrib=0)
expect_cli(EXIT 0 STDOUT "\"imsak\": \"2024-03-11T05:08:52\\+03:00\", \"fajr\": \"2024-03-11T05:18:52\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --imsak-minutes 10)
expect_cli(EXIT 0 STDOUT "\"dhuhr\": \"2024-03-11T12:33:39\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --adjust dhuhr=2,isha=-1)
expect_cli(EXIT 0 STDOUT "\"fajr\": \"2024-03-11T05:19:00\\+03:00\", \"sunrise\": \"2024-03-11T06:33:00\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --rounding up)
expect_cli(EXIT 0 STDOUT "\"fajr\": \"2024-03-11T05:18:00\\+03:00\", \"sunrise\": \"2024-03-11T06:32:00\\+03:00\""
           ARGS times --format json --day --date 2024-03-11 --rounding DOWN)
# Both Asr times, and what filled a time at high latitude.
expect_cli(EXIT 0 STDOUT "\"asr\": \"2024-01-15T15:[0-9:]+\\+05:00\", \"asrHanafi\": \"2024-01-15T16:[0-9:]+\\+05:00\""
           ARGS times --format json --day --city Karachi --date 2024-01-15 --asr both)
expect_cli(EXIT 0 STDOUT "\"filled\": \\{\"imsak\": \"seventh of the night\", \"fajr\": \"seventh of the night\", \"isha\": \"seventh of the night\"\\}"
           ARGS times --format json --day --city London --date 2024-06-21)
expect_cli(EXIT 0 STDOUT "\"filled\": \\{\"imsak\": \"middle of the night\", \"fajr\": \"middle of the night\", \"isha\": \"middle of the night\"\\}"
           ARGS times --format json --day --city London --date 2024-06-21 --high-latitude-rule middle-of-night)
expect_cli(EXIT 0 STDOUT "\"fajr\": null, .*\"missing\": \\{\"imsak\": \"always above\", \"fajr\": \"always above\", \"isha\": \"always above\", \"lastThird\": \"not valid\"\\}, \"filled\": \\{\\}"
           ARGS times --format json --day --city London --date 2024-06-21 --high-latitude-rule none)
expect_cli(EXIT 0 STDOUT "\"filled\": \\{\"imsak\": \"seasonal bounds\", \"fajr\": \"seasonal bounds\", \"isha\": \"seasonal bounds\"\\}"
           ARGS times --format json --day --city London --date 2024-06-21 --method MSC --shafaq abyad)
expect_cli(EXIT 0 STDOUT "\"imsak, fajr, isha filled by twilight angle\"\r?\n$"
           ARGS times --format csv --day --city London --date 2024-06-21 --high-latitude-rule twilight-angle)
# The settings in words, and refusals naming the flag.
expect_cli(EXIT 0 STDOUT "^Prayer times: Tehran, [^\n]*\nMethod Tehran: Fajr 17.7 deg, Isha'a 14 deg, Imsak Fajr's \\+ 1 deg, Maghrib 4.5 deg, Asr factor 1\nHigh latitudes: default [^\n]*; jafari midnight\n"
           ARGS times --day --city Tehran --method Tehran --date 2024-01-15)
expect_cli(EXIT 2 STDERR "^vorlin: --format report cannot show Maghrib by an angle \\(--maghrib-angle or the method\\); use --format text, json, csv or ics\n$"
           ARGS times --format report --method Tehran)
expect_cli(EXIT 2 STDERR "^vorlin: --format report cannot show Isha'a by minutes" ARGS times --format report --method UmmAlQura)
expect_cli(EXIT 2 STDERR "^vorlin: --format report cannot show minute adjustments" ARGS times --format report --adjust fajr=1)
expect_cli(EXIT 2 STDERR "^vorlin: --format report cannot show this --high-latitude-rule" ARGS times --format report --high-latitude-rule seventh-of-night)
expect_cli(EXIT 2 STDERR "^vorlin: --format report cannot show a --horizon-height other than --height" ARGS times --format report --horizon-height 10)
expect_cli(EXIT 0 STDOUT "Height: 300 meters ASL" ARGS times --format report --day --horizon-height 300)
expect_cli(EXIT 2 STDERR "^vorlin: --fajr: must lie within -90..90, not '95'\n$" ARGS times --fajr 95)
expect_cli(EXIT 2 STDERR "^vorlin: --isha-minutes: must lie within 0..1440, not '-5'\n$" ARGS times --isha-minutes -5)
expect_cli(EXIT 2 STDERR "^vorlin: --adjust: no event 'duhr' \\(imsak, fajr" ARGS times --adjust duhr=3)
expect_cli(EXIT 2 STDERR "^vorlin: --adjust: expects NAME=MINUTES" ARGS times --adjust fajr)
expect_cli(EXIT 2 STDERR "^vorlin: --adjust fajr: expects a decimal number, not 'x'\n$" ARGS times --adjust fajr=x)
expect_cli(EXIT 2 STDERR "^vorlin: --midnight: expects one of standard,jafari, not 'noon'\n$" ARGS times --midnight noon)
expect_cli(EXIT 2 STDERR "^vorlin: --rounding: expects one of seconds,nearest,up,down, not 'half'\n$" ARGS times --rounding half)
expect_cli(EXIT 2 STDERR "^vorlin: --shafaq: applies to the seasonal twilight" ARGS times --shafaq ahmer)
expect_cli(EXIT 2 STDERR "^vorlin: --high-latitude-rule: expects one of default,none,middle-of-night,seventh-of-night,twilight-angle,0,1,2,3,4,5,6,7,8,9, not '13'\n$"
           ARGS times --high-latitude-rule 13)
expect_cli(EXIT 2 STDERR "^vorlin: --horizon-height: must lie within 0..100000, not '-1'\n$" ARGS times --horizon-height -1)
expect_cli(EXIT 2 STDERR "^vorlin: --crescent: must lie within 0..90, not '91'\n$" ARGS times --crescent 91)
expect_cli(EXIT 2 STDERR "^vorlin: the times are given for the years 1..9999" ARGS times --format json --date -5-01-01)
