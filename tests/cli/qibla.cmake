include(${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake.inc)
# Published places: direction, distance and the WMM2000 declination of 2000-01-01.
expect_cli(EXIT 0
  STDOUT "^Qibla from London \\(51\\.5000 N, 0\\.1000 W, 0 m\\) on 2000-01-01\nDirection:   118\\.95 deg \\(ESE\\) clockwise from true north\nDistance:    4792\\.7 km\nDeclination: -3\\.15 deg \\(west\\), field model WMM2000\nCompass:     122\\.10 deg \\(ESE\\) magnetic \\(true direction - declination\\)\n$"
  ARGS qibla 2000-01-01 --name London --lat 51.5 --lon -0.1 --height 0)
expect_cli(EXIT 0 STDOUT "Direction:   58\\.58 deg \\(ENE\\).*Distance:    10324\\.2 km\nDeclination: -13\\.36 deg \\(west\\), field model WMM2000\n"
  ARGS qibla --date 2000-01-01 --lat 40.7 --lon -74.0 --height 0)
# Coordinates without a name are not shown under the default place's name.
expect_cli(EXIT 0 STDOUT "^Qibla from 40\\.7000 N, 74\\.0000 W, 0 m on 2000-01-01\n"
  ARGS qibla --date 2000-01-01 --lat 40.7 --lon -74.0 --height 0)
# Five years of WMM2000's secular variation; from 2005-01-01 WMM2005, and each
# later model in its five years, without a note.
expect_cli(EXIT 0 STDOUT "Declination: -2\\.45 deg \\(west\\), field model WMM2000\nCompass:[^\n]*\n$"
  ARGS qibla 2004-12-31 --lat 51.5 --lon -0.1 --height 0)
expect_cli(EXIT 0 STDOUT "Declination: -2\\.41 deg \\(west\\), field model WMM2005\nCompass:[^\n]*\n$"
  ARGS qibla 2005-01-01 --lat 51.5 --lon -0.1 --height 0)
expect_cli(EXIT 0 STDOUT "field model WMM2010\nCompass:[^\n]*\n$" ARGS qibla 2014-12-31 --lat 51.5 --lon -0.1)
expect_cli(EXIT 0 STDOUT "field model WMM2015v2\nCompass:[^\n]*\n$" ARGS qibla 2015-01-01 --lat 51.5 --lon -0.1)
expect_cli(EXIT 0 STDOUT "^Qibla from Toronto \\(43.7001 N, 79.4163 W, 175 m\\) on 2024-03-11\n.*Declination: -10\\.22 deg \\(west\\), field model WMM2020\nCompass:     64\\.87 deg \\(ENE\\)[^\n]*\n$"
  ARGS qibla 2024-03-11 --city Toronto)
# Today's field: 2026 by WMM2025 (WMM2000 extrapolated gave +16.44 at Anchorage).
expect_cli(EXIT 0 STDOUT "Declination: \\+14\\.20 deg \\(east\\), field model WMM2025\nCompass:     336\\.67 deg \\(NNW\\)[^\n]*\n$"
  ARGS qibla 2026-01-01 --name Anchorage --lat 61.2181 --lon -149.9003 --height 0)
expect_cli(EXIT 0 STDOUT "Declination: -26\\.62 deg \\(west\\), field model WMM2025\n"
  ARGS qibla 2026-01-01 --lat -33.9249 --lon 18.4241 --height 0)
expect_cli(EXIT 0 STDOUT "field model WMM2025\nCompass:[^\n]*\n$" ARGS qibla 2030-01-01 --lat 51.5 --lon -0.1)
# Outside 2000.0-2030.0 the nearest model, extrapolated, with a note.
expect_cli(EXIT 0
  STDOUT "Declination: \\+2\\.01 deg \\(east\\), field model WMM2025, extrapolated\nCompass:[^\n]*\nNote: the field model WMM2025 is made for 2025\\.0-2030\\.0; for this date the\n      declination is extrapolated and less accurate\\.\n$"
  ARGS qibla 2031-06-01 --lat 51.5 --lon -0.1)
expect_cli(EXIT 0 STDOUT "field model WMM2025, extrapolated\n.*Note: the field model WMM2025 is made for 2025\\.0-2030\\.0"
  ARGS qibla 2030-01-02 --lat 51.5 --lon -0.1)
expect_cli(EXIT 0 STDOUT "field model WMM2000, extrapolated\n.*Note: the field model WMM2000 is made for 2000\\.0-2005\\.0"
  ARGS qibla 1999-12-31 --lat 51.5 --lon -0.1)
# On the Kaaba's parallel; due north and due south of it.
expect_cli(EXIT 0 STDOUT "Direction:   82\\.51 deg \\(E\\).*Distance:    4117\\.5 km"
  ARGS qibla 2000-01-01 --lat 21.423111111111112 --lon 0)
expect_cli(EXIT 0 STDOUT "Direction:   180\\.00 deg \\(S\\)" ARGS qibla 2000-01-01 --lat 50 --lon 39.827111111111115)
expect_cli(EXIT 0 STDOUT "Direction:   0\\.00 deg \\(N\\) clockwise" ARGS qibla 2000-01-01 --lat -10 --lon 39.827111111111115)
# The default place is Makkah, about 100 m from the Kaaba; the Kaaba itself and its antipode.
expect_cli(EXIT 0 STDOUT "^Qibla from Makkah \\(21\\.4225 N, 39\\.8262 E, 300 m\\) on 2000-01-01\n.*Distance:    0\\.1 km\nDeclination: \\+2\\.47 deg \\(east\\), field model WMM2000\n"
  ARGS qibla 2000-01-01)
expect_cli(EXIT 0 STDOUT "Direction:   0\\.00 deg \\(the place is at the Kaaba\\)\nDistance:    0\\.0 km\n"
  ARGS qibla 2000-01-01 --lat 21.423111111111112 --lon 39.827111111111115)
expect_cli(EXIT 0 STDOUT "antipode.*Distance:    20003\\.9 km\n"
  ARGS qibla 2000-01-01 --lat -21.423111111111112 --lon -140.172888888888885)
# A pole stays finite.
expect_cli(EXIT 0 STDOUT "Declination: -25\\.59 deg \\(west\\)" ARGS qibla 2000-01-01 --lat 90 --lon 0 --height 0)
# Help and usage errors.
expect_cli(EXIT 0 STDOUT "^usage: vorlin qibla.*World Magnetic Model.*WMM2015v2, WMM2020 and WMM2025.*after 2030 \\(WMM2025\\) it is extrapolated.*examples: vorlin qibla"
  ARGS qibla --help)
expect_cli(EXIT 2 STDERR "^vorlin: 2001-02-29 is not a valid civil date\n$" ARGS qibla 2001-02-29)
expect_cli(EXIT 2 STDERR "^vorlin: qibla takes at most one date\n$" ARGS qibla 2000-01-01 2000-01-02)
expect_cli(EXIT 2 STDERR "^vorlin: --lat: must lie within -90\\.\\.90, not '91'\n$" ARGS qibla --lat 91)
expect_cli(EXIT 2 STDERR "^vorlin: --bogus: unknown flag \\(see vorlin COMMAND --help\\)\n$" ARGS qibla --bogus 1)
