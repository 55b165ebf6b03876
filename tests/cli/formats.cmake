include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# (execute_process turns CRLF into LF: check_formats.py checks the CRLF line ends.)
# JSON: the day's date, Hijri date, offset in force and ISO 8601 local times;
# markers as null with their reason.
expect_cli(EXIT 0 STDOUT "\"date\": \"2024-06-21\", \"weekday\": \"Fri\", \"hijri\": \\{\"date\": \"1445-12-[0-9]+\", \"year\": 1445, \"month\": 12, .*\"utcOffset\": \"\\+02:00\", \"summerTime\": true,.*\"imsak\": null, .*\"dhuhr\": \"2024-06-21T12:47:[0-9][0-9]\\+02:00\".*\"missing\": \\{\"imsak\": \"always above\", \"fajr\": \"always above\", \"sunrise\": \"always above\", \"maghrib\": \"always above\", \"isha\": \"always above\"\\}"
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
expect_cli(EXIT 0 STDOUT "^date,weekday,hijri_date,utc_offset,imsak,fajr,sunrise,dhuhr,asr,maghrib,isha,notes\r?\n2024-03-11,Mon,1445-0[89]-[0-9]+,\\+03:00,2024-03-11T05:14:[0-9:]+\\+03:00,"
           ARGS times --format csv --day --date 2024-03-11)
expect_cli(EXIT 0 STDOUT "\r?\n2024-06-21,Fri,1445-12-[0-9]+,\\+02:00,,,,2024-06-21T12:47:[0-9:]+\\+02:00,2024-06-21T17:5[0-9:]+\\+02:00,,,imsak always above; fajr always above; sunrise always above; maghrib always above; isha always above\r?\n$"
           ARGS times --format csv --day --city Tromso --date 2024-06-21)
# iCalendar: the calendar's properties and an event in UTC.
expect_cli(EXIT 0 STDOUT "^BEGIN:VCALENDAR\r?\nVERSION:2.0\r?\nPRODID:-//Vorlin//vorlin [0-9.]+//EN\r?\n.*BEGIN:VEVENT\r?\nUID:2024-03-11-fajr\\+21.4225\\+39.8262@vorlin\r?\nDTSTAMP:[0-9]+T[0-9]+Z\r?\nDTSTART:20240311T02[0-9]+Z\r?\nSUMMARY:Fajr \\(Makkah\\)\r?\n.*END:VEVENT\r?\nEND:VCALENDAR\r?\n$"
           ARGS times --format ics --day --date 2024-03-11)
expect_cli(EXIT 0 STDOUT "^usage: vorlin times .*--format text\\|json\\|csv\\|ics.*crescent.*examples:" ARGS times --help)
# Usage errors.
expect_cli(EXIT 2 STDERR "^vorlin: --format expects text, json, csv or ics, not 'xml'\n$" ARGS times --format xml)
expect_cli(EXIT 2 STDERR "^vorlin: --format needs a value\n$" ARGS times --format)
expect_cli(EXIT 2 STDERR "^vorlin: the date is not a valid civil date\n$" ARGS times --format json --date 2023-02-29)
expect_cli(EXIT 2 STDERR "^vorlin: unexpected argument 'today'\n$" ARGS times --format csv today)
expect_cli(EXIT 2 STDERR "^vorlin: the date lies before the Hijri era" ARGS times --format json --hijri-months --date 0600-01-01)
expect_cli(EXIT 2 STDERR "does not go with --day" ARGS times --format ics --day --hijri-months)
expect_cli(EXIT 2 STDERR "^vorlin: unknown flag: --format\n$" ARGS moon --format json)
